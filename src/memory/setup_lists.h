// What the marker set-up dialog shows, apart from its widgets: the contents of its lists, the rule of a data
// type choice, and the two captions it builds from language texts.
#pragma once

#include "startup/language.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace bdlogic {

struct ListItem {
    QString text;
    std::int16_t itemData;
};

// cbType: the insulin types 0..13 with texts 1263..1276. A text the library lacks is not added.
std::vector<ListItem> InsulinTypeItems(const Language* language);
// cbDataType: INSULIN, INTAKES, EXERCISE, MEDICINES with texts 5707..5710 shown without their "&".
std::vector<ListItem> DataTypeItems(const Language* language);

// The first item whose item data is `data`; -1 for none.
int IndexOfItemData(const std::vector<ListItem>& items, std::optional<int> data);

// cbDataType_Click for one row: its insulin list shows only while the first item (INSULIN) is selected; its
// description label names the chosen kind. Without a selection, or without the text, the label keeps its
// caption.
struct DataTypeView {
    bool insulinListVisible = false;
    std::optional<QString> description;
};
DataTypeView DataTypeClick(int selectedIndex, std::optional<int> selectedItemData, const Language* language);

// Label1(5): texts 326 and 1035 without their ":", joined by "/".
std::optional<QString> InsulinColumnTitle(const Language* language);
// lblMarker: "* = " and text 5505.
std::optional<QString> MarkerCaption(const Language* language);

} // namespace bdlogic
