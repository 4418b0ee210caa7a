#include "setup_lists.h"

#include "marker_settings.h"
#include "startup/common_code.h"

namespace bdlogic {

namespace {
constexpr int kFirstInsulinTypeText = 1263;
constexpr int kInsulinTypes = 14;
constexpr int kDataTypeTexts[] = {5707, 5708, 5709, 5710};

std::optional<QString> WithoutChar(std::optional<QString> text, QChar ch) {
    if (!text) return std::nullopt;
    return CutChar(*text, ch);
}
} // namespace

std::vector<ListItem> InsulinTypeItems(const Language* language) {
    std::vector<ListItem> items;
    for (int t = 0; t < kInsulinTypes; ++t) {
        if (const auto text = loadres(language, kFirstInsulinTypeText + t))
            items.push_back({*text, static_cast<std::int16_t>(t)});
    }
    return items;
}

std::vector<ListItem> DataTypeItems(const Language* language) {
    std::vector<ListItem> items;
    std::int16_t data = kMarkerInsulin;
    for (int id : kDataTypeTexts) {
        if (const auto text = WithoutChar(loadres(language, id), u'&')) items.push_back({*text, data});
        ++data;
    }
    return items;
}

int IndexOfItemData(const std::vector<ListItem>& items, std::optional<int> data) {
    if (!data) return -1;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].itemData == *data) return static_cast<int>(i);
    return -1;
}

DataTypeView DataTypeClick(int selectedIndex, std::optional<int> selectedItemData, const Language* language) {
    DataTypeView view;
    view.insulinListVisible = selectedIndex == 0;
    if (selectedIndex < 0 || !selectedItemData) return view;
    switch (*selectedItemData) {
    case kMarkerInsulin:
        view.description = QStringLiteral("insulin");
        break;
    case kMarkerIntakes:
        view.description = WithoutChar(loadres(language, 5107), u':');
        break;
    case kMarkerExercise:
        view.description = WithoutChar(loadres(language, 339), u':');
        break;
    case kMarkerMedicines:
        view.description = WithoutChar(loadres(language, 3512), u':');
        break;
    default:
        break;
    }
    return view;
}

std::optional<QString> InsulinColumnTitle(const Language* language) {
    const auto type = WithoutChar(loadres(language, 326), u':');
    const auto unit = WithoutChar(loadres(language, 1035), u':');
    if (!type || !unit) return std::nullopt;
    return *type + u'/' + *unit;
}

std::optional<QString> MarkerCaption(const Language* language) {
    const auto text = loadres(language, 5505);
    if (!text) return std::nullopt;
    return QStringLiteral("* = ") + *text;
}

} // namespace bdlogic
