// Must not compile: text/ is the bottom layer and does not link the listing.
// tests/layering/layering.cmake builds it and expects exactly this failure.
#include "listing/walk.h"
