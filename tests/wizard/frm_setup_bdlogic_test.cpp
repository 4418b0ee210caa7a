// The marker set-up's texts as a language pack words them, and as screen readers hear them. What the keys
// change and what OK and Escape store are in the wizard window's tests, where the set-up is used by keys
// alone.
#include "wizard_window.h"

#include <QAccessible>

namespace bdlogic {
namespace {

using SetupTest = test::WizardWindow;

TEST_F(SetupTest, TextsFromThePackAndWhatScreenReadersHear) {
    w.services.language = LanguagePack::fromText(
        QStringLiteral("5505=Comment for marked readings\n326=Insulin type:\n900=&OK|Save\n1035=Unit:\n"));
    setMachine("Configure_Meter", "1");
    open();
    // On Unix a combo box's accessible name is its value and its row title comes by relation; the name it is
    // given is what the screen readers of other systems read.
    const auto heard = [this](const char* control) {
        QWidget* w = get(control);
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
        return (i->role() == QAccessible::ComboBox ? w->accessibleName() : i->text(QAccessible::Name))
            .toStdString();
    };
    inSetup([&] {
        auto* ok = get<QPushButton>("cmdNext");
        EXPECT_EQ(ok->text() + u'|' + ok->toolTip(), QStringLiteral("&OK|Save"));
        EXPECT_EQ(heard("cbDataType_1"), "P2: Insulin");
        EXPECT_EQ(heard("cbType_1"), "P2: Insulin type/Unit");
        EXPECT_EQ(heard("txtIG_3"), "P4: Insulin");
        EXPECT_EQ(heard("txtMarker"), "* = Comment for marked readings");
        const auto labels =
            QAccessible::queryAccessibleInterface(get("cbDataType_2"))->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1);
        EXPECT_EQ(labels[0].first->text(QAccessible::Name), QStringLiteral("P3:"));
        next();
    });
}

TEST_F(SetupTest, InsulinColumnTitleKeepsItsOwnTextWhenItCannotBeBuilt) {
    w.services.language = LanguagePack::fromText(QStringLiteral("454=Insulin units\n326=Insulin type:\n"));
    setMachine("Configure_Meter", "1");
    open();
    inSetup([&] {
        EXPECT_EQ(text("Label1_5"), QStringLiteral("Insulin units"));
        next();
    });
}

} // namespace
} // namespace bdlogic
