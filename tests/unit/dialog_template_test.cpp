// In-memory dialog templates: the exact words of the progress window's
// template, the string-or-ordinal rules, alignment and the capacity rule.
#include "TOOLS/toolwind/dialog_template.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "ui/progress/progress_template.h"

namespace {

typedef std::vector<uint16_t> words_t;

// The template as words, read low byte first as Windows reads it.
words_t words_of(const void* block, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(block);
    words_t words;
    for (size_t i = 0; i + 1 < size; i += 2) words.push_back((uint16_t)(bytes[i] | bytes[i + 1] << 8));
    return words;
}

words_t build_words(const dlg_template_desc_t& dialog, const dlg_item_desc_t* items) {
    const size_t size = dlg_template_fill(&dialog, items, nullptr, 0);
    void* block = dlg_template_build(&dialog, items);
    EXPECT_NE(nullptr, block);
    if (!block) return words_t();
    words_t words = words_of(block, size);
    free(block);
    return words;
}

std::string dump(const words_t& words) {
    std::string text;
    char word[8];
    for (size_t i = 0; i < words.size(); ++i) {
        snprintf(word, sizeof word, "%s%04X", i ? " " : "", words[i]);
        text += word;
    }
    return text;
}

#define EXPECT_WORDS(expected, got) \
    EXPECT_EQ(expected, got) << "got " << dump(got) << "\nwanted " << dump(expected)

// A dialog with the standard class, no menu, no font, an empty title and the
// given controls.
dlg_template_desc_t plain_dialog(uint16_t item_count) {
    dlg_template_desc_t d = {};
    d.style = 0x80000000;
    d.item_count = item_count;
    d.x = -2;
    d.y = 3;
    d.cx = 40;
    d.cy = 20;
    return d;
}

words_t plain_header(uint16_t item_count) {
    return {0x0000, 0x8000, 0, 0, item_count, 0xFFFE, 3, 40, 20};
}

words_t concat(words_t a, const words_t& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(DialogTemplate, ProgressWindowTemplateIsExactlyItsSeventySixBytes) {
    const words_t expected = {
        0x0040, 0x8000, 0x0000, 0x0000, 1,
        0,      0,      1,      1,  // WS_POPUP | DS_SETFONT, one item, 0,0 1x1
        0x0000,                     // no menu
        0x0000,                     // standard dialog class
        0x0000,                     // empty title
        9,                          // point size
        0xFF2D, 0xFF33, 0x0020, 0xFF30, 0x30B4,
        0x30B7, 0x30C3, 0x30AF, 0x0000,  // "ＭＳ Ｐゴシック"
        0x0001, 0x4002, 0x0000, 0x0000, 0,
        0,      1,      1,      1,  // WS_CHILD | WS_GROUP | BS_DEFPUSHBUTTON, id 1
        0xFFFF, 0x0080,             // button class
        'O',    'K',    0x0000,     // title
        0x0000,                     // no creation data
        0x0000,                     // alignment
    };
    dlg_template_desc_t dialog;
    dlg_item_desc_t button;
    progress_template_describe(&dialog, &button);
    ASSERT_EQ(76u, dlg_template_fill(&dialog, &button, nullptr, 0));

    void* block = progress_template_build();
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(0u, (uintptr_t)block % 4) << "the template starts on a 4-byte boundary";
    EXPECT_WORDS(expected, words_of(block, 76));
    free(block);
}

TEST(DialogTemplate, WithoutFontNeitherSizeNorFaceIsWrittenAndStyleIsLeftAlone) {
    dlg_template_desc_t d = plain_dialog(0);
    d.point_size = 12;  // ignored without a face name
    EXPECT_WORDS(concat(plain_header(0), {0x0000, 0x0000, 0x0000}), build_words(d, nullptr));

    // A face name writes the size and the face (17 words: one pad), whether or not DS_SETFONT is set.
    d.font_name = u"Abc";
    EXPECT_WORDS(concat(plain_header(0), {0, 0, 0, 12, 'A', 'b', 'c', 0, 0}), build_words(d, nullptr));
}

TEST(DialogTemplate, NullClassIsOneZeroWordForTheDialogButOrdinalZeroForAControl) {
    dlg_template_desc_t d = plain_dialog(1);
    dlg_item_desc_t item = {};
    item.id = 7;
    const words_t item_header = {0x0000, 0x4000, 0, 0, 0, 0, 0, 0, 7};  // WS_CHILD added
    EXPECT_WORDS(concat(concat(plain_header(1), {0x0000, 0x0000, 0x0000}),
                        concat(item_header, {0xFFFF, 0x0000, 0x0000, 0x0000, 0x0000})),
                 build_words(d, &item));
}

TEST(DialogTemplate, StringsAndOrdinalsForMenuClassAndTitles) {
    dlg_template_desc_t d = plain_dialog(2);
    d.menu = dlg_ordinal(120);
    d.class_name = dlg_string(u"Cls");
    d.title = u"表";
    dlg_item_desc_t items[2] = {};
    items[0].class_name = dlg_string(u"Edit");
    items[0].title = dlg_ordinal(0x7F);  // an ordinal title (an icon id, say)
    items[0].style = 0x00800000;
    items[0].ext_style = 0x00020004;
    items[0].x = -1;
    items[0].id = 0xFFFF;
    items[1].class_name = dlg_ordinal(0x0082);
    items[1].title = dlg_string(u"x");
    items[1].id = 3;

    const words_t dialog_part =
        concat(plain_header(2), {0xFFFF, 120, 'C', 'l', 's', 0, 0x8868, 0});  // 17: pad
    const words_t first = {0x0000, 0x40800000 >> 16,
                           0x0004, 0x0002,
                           0xFFFF, 0,
                           0,      0,
                           0xFFFF,  // header
                           'E',    'd',
                           'i',    't',
                           0,      0xFFFF,
                           0x7F,   0x0000};                                                        // 17: pad
    const words_t second = {0x0000, 0x4000, 0, 0, 0, 0, 0, 0, 3, 0xFFFF, 0x0082, 'x', 0, 0x0000};  // 14
    EXPECT_WORDS(concat(concat(concat(dialog_part, {0}), concat(first, {0})), second), build_words(d, items));
}

TEST(DialogTemplate, AlignmentAddsOneWordAfterAnOddCountAndNoneAfterAnEvenOne) {
    dlg_item_desc_t item = {};
    dlg_template_desc_t d = plain_dialog(1);
    // Header part of 12 words, control of 9 + 2 + 1 + 1 = 13: one pad after the control only.
    EXPECT_EQ(2u * (12 + 14), dlg_template_fill(&d, &item, nullptr, 0));
    // Title "A" makes the header part 13 words: one pad there too.
    d.title = u"A";
    EXPECT_EQ(2u * (14 + 14), dlg_template_fill(&d, &item, nullptr, 0));
    // A one-character control title makes the control 14 words: no pad.
    item.title = dlg_string(u"a");
    EXPECT_EQ(2u * (14 + 14), dlg_template_fill(&d, &item, nullptr, 0));
    const words_t words = build_words(d, &item);
    ASSERT_EQ(28u, words.size());
    EXPECT_EQ(0, words[13]) << "pad after the header part";
    EXPECT_EQ(0x0000, words[14]) << "the control begins at word 14 (byte 28, a multiple of 4)";
    EXPECT_EQ(0x4000, words[15]);
}

TEST(DialogTemplate, ShortCapacityNeverWritesPastItAndLeavesACleanBeginning) {
    dlg_template_desc_t d = plain_dialog(2);
    d.title = u"Title";
    d.font_name = u"Face";
    d.point_size = 9;
    dlg_item_desc_t items[2] = {};
    items[0].class_name = dlg_ordinal(DLG_CLASS_BUTTON);
    items[0].title = dlg_string(u"Long button text");
    items[1].class_name = dlg_string(u"Static");
    items[1].title = dlg_ordinal(5);

    const size_t size = dlg_template_fill(&d, items, nullptr, 0);
    std::vector<uint8_t> full(size);
    ASSERT_EQ(size, dlg_template_fill(&d, items, full.data(), size));

    constexpr uint8_t UNTOUCHED = 0xCD;
    for (size_t capacity = 0; capacity <= size + 3; ++capacity) {
        std::vector<uint8_t> buffer(size + 8, UNTOUCHED);
        const size_t written = dlg_template_fill(&d, items, buffer.data(), capacity);
        SCOPED_TRACE("capacity " + std::to_string(capacity));
        EXPECT_LE(written, capacity);
        EXPECT_EQ(0u, written % 2);
        EXPECT_EQ(0, memcmp(buffer.data(), full.data(), written)) << "written bytes are the template's own";
        for (size_t i = written; i < buffer.size(); ++i) ASSERT_EQ(UNTOUCHED, buffer[i]) << "byte " << i;
        if (capacity >= size) {
            EXPECT_EQ(size, written);
        }
    }
    // A header that does not fit is not written at all.
    std::vector<uint8_t> small(17, UNTOUCHED);
    EXPECT_EQ(0u, dlg_template_fill(&d, items, small.data(), small.size()));
    EXPECT_EQ(std::vector<uint8_t>(17, UNTOUCHED), small);
}
