// Dialog templates assembled in memory: a description of a dialog and its
// controls becomes the platform's standard in-memory layout (a DLGTEMPLATE
// header, then one DLGITEMTEMPLATE per control, strings in UTF-16).
//
// Portable on purpose: it needs no window system, so the layout is checked by
// the native tests as well. Words are written low byte first, as Windows reads
// them; 32-bit values low word first.
#pragma once

#include <stddef.h>
#include <stdint.h>

// A string-or-ordinal value, as in the platform's resource identifiers: 0 is
// "none", a value up to 0xFFFF an ordinal, anything larger the address of a
// NUL-terminated UTF-16 string.
typedef uintptr_t dlg_name_t;

inline dlg_name_t dlg_ordinal(uint16_t ordinal) {
    return (dlg_name_t)ordinal;
}
inline dlg_name_t dlg_string(const char16_t* text) {
    return (dlg_name_t)text;
}

// The predefined control classes, by their ordinals.
enum {
    DLG_CLASS_BUTTON = 0x0080,  // push buttons, check boxes, radio buttons, group boxes
    DLG_CLASS_EDIT = 0x0081,
    DLG_CLASS_STATIC = 0x0082,
    DLG_CLASS_LISTBOX = 0x0083,
    DLG_CLASS_SCROLLBAR = 0x0084,
    DLG_CLASS_COMBOBOX = 0x0085,
};

// The font of every dialog of the program; the settings dialog's resource
// names the same.
constexpr char16_t DLG_FONT_NAME[] = u"ＭＳ Ｐゴシック";
constexpr uint16_t DLG_FONT_POINTS = 9;

struct dlg_template_desc_t {
    uint32_t style;  // the caller sets DS_SETFONT exactly when it sets font_name
    uint32_t ext_style;
    uint16_t item_count;        // how many dlg_item_desc_t records are read
    int16_t x, y, cx, cy;       // dialog units
    dlg_name_t class_name;      // 0: the standard dialog class
    const char16_t* title;      // null: the empty title
    dlg_name_t menu;            // 0: no menu
    const char16_t* font_name;  // null: no font is written
    uint16_t point_size;        // only with font_name
};

struct dlg_item_desc_t {
    dlg_name_t class_name;  // 0 is written as the ordinal 0
    dlg_name_t title;       // 0: the empty text
    uint32_t style;         // WS_CHILD is always added
    uint32_t ext_style;
    int16_t x, y, cx, cy;
    uint16_t id;
};

// One control at its place, in dialog units, without an extended style.
inline dlg_item_desc_t dlg_item(uint16_t class_ordinal, dlg_name_t title, uint32_t style, int16_t x,
                                int16_t y, int16_t cx, int16_t cy, uint16_t id) {
    dlg_item_desc_t d{};
    d.class_name = dlg_ordinal(class_ordinal);
    d.title = title;
    d.style = style;
    d.x = x;
    d.y = y;
    d.cx = cx;
    d.cy = cy;
    d.id = id;
    return d;
}

// Writes the template into buffer, or only measures it when buffer is null.
// Returns its size in bytes. With a buffer, nothing is written at or beyond
// capacity: the first piece (a word, a whole string, a whole header) that does
// not fit ends the writing, so what was written is always a clean beginning of
// the template, and the result says how much of it there is.
size_t dlg_template_fill(const dlg_template_desc_t* desc, const dlg_item_desc_t* items, void* buffer,
                         size_t capacity);

// The template in a heap block of exactly its size, freed by the caller with
// free(); null when out of memory.
void* dlg_template_build(const dlg_template_desc_t* desc, const dlg_item_desc_t* items);
