// The marker set-up as the user meets it in the wizard: what it shows on opening, what clicks and keys
// change, what OK stores. Escape (Cancel) and the walk by Tab are in the wizard window's tests.
#include "wizard_window.h"

#include <QAccessible>
#include <QComboBox>

namespace bdlogic {
namespace {

// The texts the set-up asks for, worded as a pack would word them.
std::unique_ptr<Language> SetupTexts() {
    QString text = QStringLiteral(
        "5707=&Insulin\n5708=&Meal\n5709=&Exercise\n5710=&Medicines\n5107=Carbohydrates (BU):\n"
        "339=Duration (minutes):\n3512=Amount:\n5505=Comment for marked readings\n"
        "326=Insulin type:\n900=&OK|Save\n1035=Unit:\n");
    for (int t = 0; t < 14; ++t)
        text += QStringLiteral("%1=Type %2\n").arg(1263 + t).arg(t);
    return LanguagePack::fromText(text);
}

class SetupTest : public test::WizardWindow {
protected:
    SetupTest() {
        w.services.language = SetupTexts();
        setMachine("Configure_Meter", "1");
    }
    // Control `stem`_k of row k.
    template <typename T = QComboBox> T* row(const char* stem, int k) {
        return get<T>(qPrintable(QStringLiteral("%1_%2").arg(QLatin1String(stem)).arg(k)));
    }
};

TEST_F(SetupTest, TextsFromThePackUnitsByKindAndWhatScreenReadersHear) {
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
        EXPECT_EQ(row("cbType", 3)->count(), 14);
        // P3's data type walked through by keys: each kind shows its unit; only insulin keeps its list.
        for (const auto& [key, unit] : {std::pair{Qt::Key_Down, "Carbohydrates (BU)"},
                                        {Qt::Key_Down, "Duration (minutes)"},
                                        {Qt::Key_Down, "Amount"},
                                        {Qt::Key_Home, "insulin"}}) {
            QTest::keyClick(row("cbDataType", 2), key);
            EXPECT_EQ(row<QLabel>("lblDataTypeDesc", 2)->text(), QLatin1String(unit));
            EXPECT_EQ(row("cbType", 2)->isVisible(), key == Qt::Key_Home) << unit;
        }
        EXPECT_EQ(heard("cbDataType_1"), "P2: Insulin");
        EXPECT_EQ(heard("cbType_1"), "P2: Insulin type/Unit");
        EXPECT_EQ(heard("txtIG_3"), "P4: Insulin");
        EXPECT_EQ(heard("txtMarker"), "* = Comment for marked readings");
        const auto labels =
            QAccessible::queryAccessibleInterface(row("cbDataType", 2))->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1);
        EXPECT_EQ(labels[0].first->text(QAccessible::Name), QStringLiteral("P3:"));
        next();
    });
}

TEST_F(SetupTest, InsulinColumnTitleKeepsItsOwnTextWhenItCannotBeBuilt) {
    w.services.language = LanguagePack::fromText(QStringLiteral("454=Insulin units\n326=Insulin type:\n"));
    open();
    inSetup([&] {
        EXPECT_EQ(text("Label1_5"), QStringLiteral("Insulin units"));
        next();
    });
}

} // namespace
} // namespace bdlogic
