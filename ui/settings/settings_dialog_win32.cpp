// The settings dialog is not built yet: the program behaves as if the user
// had cancelled it, so only the unattended command line runs a listing.
#include "ui/settings/settings_dialog.h"

bool show_settings_dialog(dialog_param_t*) { return false; }
