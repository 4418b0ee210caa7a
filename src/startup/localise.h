// Font and language texts of a window, taken from the "L<id>" Tags of its controls when the window loads.
#pragma once

#include "language.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace bdlogic {

// Every control of a localised window gets this font.
inline constexpr char16_t LocaliseFontName[] = u"Arial";

// A control as the localisation sees it; the window layer implements it. Controls without a caption, tool tip or
// font ignore the matching call.
class LocalisableControl {
public:
    virtual ~LocalisableControl() = default;
    virtual QString tag() const = 0;
    virtual bool isButton() const = 0;
    virtual void setCaption(const QString& text) = 0;
    virtual void setToolTip(const QString& text) = 0;
    virtual void setFontName(const QString& name) = 0;
};

class LocalisableWindow {
public:
    virtual ~LocalisableWindow() = default;
    virtual QString tag() const = 0;
    virtual void setCaption(const QString& text) = 0;
    // The controls in the window's control order.
    virtual std::vector<LocalisableControl*> controls() = 0;
};

// The text id in a Tag: a Tag starting with an upper-case "L" loses every "L" and "l", and the rest read as a
// 16-bit number is the id. Nothing for any other Tag, or when the rest is empty or not a number.
std::optional<std::int16_t> TagTextId(const QString& tag);

// A command button's text is "caption|tool tip"; an empty or missing part leaves the button's own.
struct ButtonText {
    std::optional<QString> caption;
    std::optional<QString> toolTip;
};
ButtonText SplitButtonText(const QString& text);

// Sets the font of every control, then the texts of the controls and of the window whose Tags name a text id.
// Without a library, or for an id it lacks, the designer text stays.
void LocaliseForm(const Language* language, LocalisableWindow& window);

} // namespace bdlogic
