// The marker set-up as the user meets it in the wizard: what it shows on opening, what clicks and keys
// change, what OK stores. Escape (Cancel) and the walk by Tab are in the wizard window's tests.
#include "wizard_window.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

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

TEST_F(SetupTest, FirstUseShowsTheDefaultsAndOkStoresWhatTheUserChose) {
    open();
    inSetup([&] {
        auto* ok = get<QPushButton>("cmdNext");
        EXPECT_EQ(ok->text() + u'|' + ok->toolTip(), QStringLiteral("&OK|Save"));
        EXPECT_EQ(text("Label1_5"), QStringLiteral("Insulin type/Unit"));
        EXPECT_EQ(text("lblMarker"), QStringLiteral("* = Comment for marked readings"));
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
        // No blood glucose; P1 is Humalog of the last type; P2 a meal of bread; no marker comment. Then OK.
        QTest::mouseClick(get<QCheckBox>("Check1_0"), Qt::LeftButton);
        QTest::keyClicks(row<QLineEdit>("txtIG", 0), QStringLiteral("Humalog"));
        QTest::keyClick(row("cbType", 0), Qt::Key_End);
        QTest::keyClick(row("cbDataType", 1), Qt::Key_Down);
        QTest::keyClicks(row<QLineEdit>("txtIG", 1), QStringLiteral("Bread"));
        QTest::keyClick(get("txtMarker"), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(get("txtMarker"), Qt::Key_Backspace);
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    EXPECT_EQ(
        storedSetup(),
        QStringLiteral(R"(Desc0="Humalog" Desc1="Bread" Desc2=" " Desc3=" " Glucose_Available="0" )"
                       R"(Insulin_Available="-1" Marker=" " Type0="0" Type1="1" Type2="0" Type3="0" )"
                       R"(Type_Insulin0="13" Type_Insulin1="10" Type_Insulin2="13" Type_Insulin3="2")"));
}

TEST_F(SetupTest, StoredChoicesAreShownAndAnUnknownTypeLeavesNoSelection) {
    for (const auto& [name, value] : {std::pair{"Type1", "2"},
                                      {"Type2", "7"},
                                      {"Type_Insulin1", "4"},
                                      {"Desc1", "Jogging"},
                                      {"Marker", "  party  "}})
        w.backend.putString(reg::Hive::CurrentUser, test::kModelKey, name, value);
    setMachine("Insulin_Available", "0");
    open();
    inSetup([&] {
        EXPECT_TRUE(get<QCheckBox>("Check1_0")->isChecked());
        EXPECT_FALSE(get<QCheckBox>("Check1_1")->isChecked());
        EXPECT_EQ(row("cbDataType", 1)->currentData().toInt(), 2);
        EXPECT_FALSE(row("cbType", 1)->isVisible());
        EXPECT_EQ(row<QLabel>("lblDataTypeDesc", 1)->text(), QStringLiteral("Duration (minutes)"));
        EXPECT_EQ(row("cbType", 1)->currentData().toInt(), 4);
        EXPECT_EQ(row<QLineEdit>("txtIG", 1)->text(), QStringLiteral("Jogging"));
        EXPECT_EQ(row("cbDataType", 2)->currentIndex(), -1);
        EXPECT_EQ(get<QLineEdit>("txtMarker")->text(), QStringLiteral("party"));
        next();
    });
    // OK writes everything but the data type that has no selection.
    EXPECT_EQ(
        storedSetup(),
        QStringLiteral(R"(Desc0=" " Desc1="Jogging" Desc2=" " Desc3=" " Glucose_Available="-1" )"
                       R"(Insulin_Available="0" Marker="party" Type0="0" Type1="2" Type2="7" Type3="0" )"
                       R"(Type_Insulin0="9" Type_Insulin1="4" Type_Insulin2="13" Type_Insulin3="2")"));
}

TEST_F(SetupTest, ScreenReadersHearEachListAndFieldByItsRowAndColumn) {
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
