#include "ui/settings/filter_kinds.h"

#include "app/settings.h"

// The second and third lines of the wildcard help begin with an ideographic
// space, so that they stand indented under the first.
const filter_kind_t filter_kind_table[] = {
    {FILTER_NONE, "フィルタなし", ""},
    {FILTER_WILDCARD, "ワイルドカード",
     "ワイルドカードによる一致で絞り込みます。\r\n"
     "　? => 任意の 1 文字\r\n"
     "　* => 0 文字以上の文字の並び"},
    {FILTER_REGEXP, "正規表現",
     "正規表現による検索で絞り込みます。\r\n"
     "完全一致するファイル名のみを対象としたい場合は\r\n"
     "正規表現を行頭指定 ^ と行末指定 $ で挟みます。"},
};
const size_t filter_kind_count = sizeof filter_kind_table / sizeof filter_kind_table[0];

const filter_kind_t* find_filter_kind(int32_t code) {
    for (size_t i = 0; i < filter_kind_count; ++i) {
        if (filter_kind_table[i].code == code) return &filter_kind_table[i];
    }
    return nullptr;
}
