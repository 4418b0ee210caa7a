#include "localise.h"

#include "common_code.h"

#include <QStringList>

namespace bdlogic {

std::optional<std::int16_t> TagTextId(const QString& tag) {
    if (!tag.startsWith(u'L')) return std::nullopt;
    QString rest = tag;
    ReplaceText(rest, QStringLiteral("L"), QString());
    if (rest.isEmpty()) return std::nullopt;
    return ToInt16(rest);
}

ButtonText SplitButtonText(const QString& text) {
    QStringList parts;
    const int last = SplitText(text, parts, u'|');
    ButtonText out;
    if (last >= 0 && !parts[0].isEmpty()) out.caption = parts[0];
    if (last >= 1 && !parts[1].isEmpty()) out.toolTip = parts[1];
    return out;
}

namespace {
void LocaliseControl(const Language* language, LocalisableControl& control) {
    const auto id = TagTextId(control.tag());
    if (!id) return;
    const auto text = loadres(language, *id);
    if (!text) return;
    if (control.isButton()) {
        const ButtonText parts = SplitButtonText(*text);
        if (parts.caption) control.setCaption(*parts.caption);
        if (parts.toolTip) control.setToolTip(*parts.toolTip);
    } else {
        control.setCaption(*text);
    }
}
} // namespace

void LocaliseForm(const Language* language, LocalisableWindow& window) {
    const QString font = QString::fromUtf16(LocaliseFontName);
    for (LocalisableControl* control : window.controls()) {
        if (!control) continue;
        control->setFontName(font);
        LocaliseControl(language, *control);
    }
    if (const auto id = TagTextId(window.tag())) {
        if (const auto text = loadres(language, *id)) window.setCaption(*text);
    }
}

} // namespace bdlogic
