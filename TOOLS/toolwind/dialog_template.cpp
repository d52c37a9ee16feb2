// Measures first, writes second: dlg_template_build runs the same fill twice,
// so the block it allocates is exactly the size of the template.
#include "TOOLS/toolwind/dialog_template.h"

#include <stdlib.h>

namespace {

// WS_CHILD, as in the platform's headers, which this portable file does
// not include.
constexpr uint32_t STYLE_CHILD = 0x40000000;

constexpr uint16_t ORDINAL_MARK = 0xFFFF;
constexpr uintptr_t LARGEST_ORDINAL = 0xFFFF;
constexpr size_t HEADER_WORDS = 9;

// The output position and the capacity rule. Without a buffer it only counts.
struct template_writer_t {
    uint8_t* buffer;
    size_t capacity;
    size_t words;  // words placed so far: the index of the next one
    bool full;     // a piece did not fit; nothing more is written
};

// True when a piece of `count` words may be placed at the current index.
bool writer_reserve(template_writer_t* w, size_t count) {
    if (!w->buffer) return true;
    if (w->full || count > w->capacity / 2 || w->words > w->capacity / 2 - count) {
        w->full = true;
        return false;
    }
    return true;
}

void writer_store(template_writer_t* w, uint16_t value) {
    if (w->buffer) {
        uint8_t* at = w->buffer + 2 * w->words;
        at[0] = (uint8_t)(value & 0xFF);
        at[1] = (uint8_t)(value >> 8);
    }
    ++w->words;
}

void put_word(template_writer_t* w, uint16_t value) {
    if (writer_reserve(w, 1)) writer_store(w, value);
}

size_t string_length(const char16_t* text) {
    size_t n = 0;
    while (text[n]) ++n;
    return n;
}

// A string with its terminator, as one piece; null is the empty string.
void put_string(template_writer_t* w, const char16_t* text) {
    if (!text) text = u"";
    const size_t length = string_length(text);
    if (!writer_reserve(w, length + 1)) return;
    for (size_t i = 0; i <= length; ++i) writer_store(w, (uint16_t)text[i]);
}

// An ordinal is two pieces of one word each.
void put_ordinal(template_writer_t* w, uintptr_t ordinal) {
    put_word(w, ORDINAL_MARK);
    put_word(w, (uint16_t)ordinal);
}

// Menu and class of the dialog itself: 0 is the single word 0x0000.
void put_dialog_name(template_writer_t* w, dlg_name_t name) {
    if (name == 0)
        put_word(w, 0);
    else if (name <= LARGEST_ORDINAL)
        put_ordinal(w, name);
    else
        put_string(w, reinterpret_cast<const char16_t*>(name));
}

// Class of a control: any value up to 0xFFFF, 0 included, is an ordinal.
void put_item_class(template_writer_t* w, dlg_name_t name) {
    if (name <= LARGEST_ORDINAL)
        put_ordinal(w, name);
    else
        put_string(w, reinterpret_cast<const char16_t*>(name));
}

// Text of a control: 0 is the empty string, a small value an ordinal.
void put_item_title(template_writer_t* w, dlg_name_t title) {
    if (title == 0)
        put_string(w, nullptr);
    else if (title <= LARGEST_ORDINAL)
        put_ordinal(w, title);
    else
        put_string(w, reinterpret_cast<const char16_t*>(title));
}

// The next element starts on a 4-byte boundary (counted from the block's start).
void put_alignment(template_writer_t* w) {
    if (w->words % 2 != 0) put_word(w, 0);
}

void put_header(template_writer_t* w, const uint16_t (&header)[HEADER_WORDS]) {
    if (!writer_reserve(w, HEADER_WORDS)) return;
    for (uint16_t word : header) writer_store(w, word);
}

uint16_t low_word(uint32_t value) {
    return (uint16_t)(value & 0xFFFF);
}
uint16_t high_word(uint32_t value) {
    return (uint16_t)(value >> 16);
}

void put_dialog(template_writer_t* w, const dlg_template_desc_t* d) {
    const uint16_t header[HEADER_WORDS] = {
        low_word(d->style),      high_word(d->style), low_word(d->ext_style),
        high_word(d->ext_style), d->item_count,       (uint16_t)d->x,
        (uint16_t)d->y,          (uint16_t)d->cx,     (uint16_t)d->cy,
    };
    put_header(w, header);
    put_dialog_name(w, d->menu);
    put_dialog_name(w, d->class_name);
    put_string(w, d->title);
    if (d->font_name) {
        put_word(w, d->point_size);
        put_string(w, d->font_name);
    }
    put_alignment(w);
}

void put_item(template_writer_t* w, const dlg_item_desc_t* item) {
    const uint32_t style = item->style | STYLE_CHILD;
    const uint16_t header[HEADER_WORDS] = {
        low_word(style),   high_word(style),  low_word(item->ext_style), high_word(item->ext_style),
        (uint16_t)item->x, (uint16_t)item->y, (uint16_t)item->cx,        (uint16_t)item->cy,
        item->id,
    };
    put_header(w, header);
    put_item_class(w, item->class_name);
    put_item_title(w, item->title);
    put_word(w, 0);  // no creation data
    put_alignment(w);
}

}  // namespace

size_t dlg_template_fill(const dlg_template_desc_t* desc, const dlg_item_desc_t* items, void* buffer,
                         size_t capacity) {
    template_writer_t w = {static_cast<uint8_t*>(buffer), capacity, 0, false};
    put_dialog(&w, desc);
    for (uint16_t i = 0; i < desc->item_count; ++i) put_item(&w, &items[i]);
    return 2 * w.words;
}

void* dlg_template_build(const dlg_template_desc_t* desc, const dlg_item_desc_t* items) {
    const size_t size = dlg_template_fill(desc, items, nullptr, 0);
    void* block = malloc(size);
    if (!block) return nullptr;
    dlg_template_fill(desc, items, block, size);
    return block;
}
