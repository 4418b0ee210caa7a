// The marker set-up dialog: what it shows on opening, the data type rule, and what OK and Cancel store.
#include "memory/frm_setup_bdlogic.h"
#include "support/services_fixture.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

using reg::Hive;
const std::string kModel = "SOFTWARE\\Corvane\\H\\modules\\BD Logic";

// The texts the dialog asks for, worded as a pack would word them.
std::unique_ptr<Language> SetupTexts() {
    QString text =
        QStringLiteral("5707=&Insulin\n5708=&Meal\n5709=&Exercise\n5710=&Medicines\n"
                       "5107=Carbohydrates (BU):\n339=Duration (minutes):\n3512=Amount:\n"
                       "5505=Comment for marked readings\n326=Insulin type:\n900=&OK|Save\n901=&Cancel\n1035=Unit:\n");
    for (int t = 0; t < 14; ++t)
        text += QStringLiteral("%1=Type %2\n").arg(1263 + t).arg(t);
    return LanguagePack::fromText(text);
}

class SetupDialogTest : public ::testing::Test {
protected:
    SetupDialogTest() {
        w.services.language = SetupTexts();
        w.state.sRegPath = QStringLiteral("SOFTWARE\\Corvane\\H\\modules\\");
        w.state.sRegkey = QStringLiteral("BD Logic");
        host.resize(420, 226);
        host.show();
    }
    FrmSetupBDlogic& open() {
        dialog = std::make_unique<FrmSetupBDlogic>(w.services);
        w.state.bSetupPending = true;
        dialog->Go(&host);
        return *dialog;
    }
    template <typename T> T* get(const QString& name) {
        T* control = host.findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name.toStdString();
        return control;
    }
    template <typename T> T* get(const char* name) { return get<T>(QString::fromLatin1(name)); }
    QComboBox* list(const char* stem, int k) {
        return get<QComboBox>(QLatin1String(stem) + u'_' + QString::number(k));
    }
    std::optional<std::string> stored(const char* name) {
        return w.backend.string(Hive::CurrentUser, kModel, name);
    }

    test::FakeWorld w;
    QWidget host;
    std::unique_ptr<FrmSetupBDlogic> dialog;
};

TEST_F(SetupDialogTest, FirstUseShowsTheDefaultsInsideTheHost) {
    open();
    EXPECT_TRUE(get<QWidget>("contSetup")->isVisible());
    EXPECT_EQ(get<QPushButton>("cmdNext")->text(), QStringLiteral("&OK"));
    EXPECT_EQ(get<QPushButton>("cmdNext")->toolTip(), QStringLiteral("Save"));
    EXPECT_EQ(get<QPushButton>("cmdCancel")->text(), QStringLiteral("&Cancel"));
    EXPECT_TRUE(get<QCheckBox>("Check1_0")->isChecked());
    EXPECT_TRUE(get<QCheckBox>("Check1_1")->isChecked());
    const int insulinTypes[] = {9, 10, 13, 2};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        ASSERT_EQ(list("cbType", k)->count(), 14);
        EXPECT_EQ(list("cbType", k)->currentData().toInt(), insulinTypes[k]);
        EXPECT_TRUE(list("cbType", k)->isVisible());
        EXPECT_EQ(list("cbDataType", k)->currentText(), QStringLiteral("Insulin"));
        EXPECT_EQ(get<QLineEdit>(QStringLiteral("txtIG_%1").arg(k))->text(), QString());
        EXPECT_EQ(get<QLabel>(QStringLiteral("lblDataTypeDesc_%1").arg(k))->text(),
                  QStringLiteral("insulin"));
    }
    EXPECT_EQ(get<QLineEdit>("txtMarker")->text(), QStringLiteral("!!!"));
    EXPECT_EQ(get<QLabel>("lblMarker")->text(), QStringLiteral("* = Comment for marked readings"));
    EXPECT_EQ(get<QLabel>("Label1_5")->text(), QStringLiteral("Insulin type/Unit"));
}

TEST_F(SetupDialogTest, ScreenReadersHearEachListAndFieldByItsRowAndColumn) {
    open();
    // On Unix a combo box's accessible name is its value and its row title comes by relation; the name it is
    // given is what the screen readers of other systems read.
    const auto heard = [this](const char* control) {
        QWidget* w = get<QWidget>(control);
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
        return (i->role() == QAccessible::ComboBox ? w->accessibleName() : i->text(QAccessible::Name))
            .toStdString();
    };
    EXPECT_EQ(heard("cbDataType_1"), "P2: Insulin");
    EXPECT_EQ(heard("cbType_1"), "P2: Insulin type/Unit");
    EXPECT_EQ(heard("txtIG_3"), "P4: Insulin");
    EXPECT_EQ(heard("txtMarker"), "* = Comment for marked readings");
    const auto labels =
        QAccessible::queryAccessibleInterface(list("cbDataType", 2))->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->text(QAccessible::Name), QStringLiteral("P3:"));
}

TEST_F(SetupDialogTest, InsulinColumnTitleKeepsItsOwnTextWhenItCannotBeBuilt) {
    w.services.language = LanguagePack::fromText(QStringLiteral("454=Insulin units\n326=Insulin type:\n"));
    open();
    EXPECT_EQ(get<QLabel>("Label1_5")->text(), QStringLiteral("Insulin units"));
}

TEST_F(SetupDialogTest, StoredChoicesAreShownAndAnUnknownTypeLeavesNoSelection) {
    w.backend.putString(Hive::LocalMachine, kModel, "Insulin_Available", "0");
    w.backend.putString(Hive::CurrentUser, kModel, "Type1", "2");
    w.backend.putString(Hive::CurrentUser, kModel, "Type2", "7");
    w.backend.putString(Hive::CurrentUser, kModel, "Type_Insulin1", "4");
    w.backend.putString(Hive::CurrentUser, kModel, "Desc1", "Jogging");
    w.backend.putString(Hive::CurrentUser, kModel, "Marker", "  party  ");
    open();
    EXPECT_TRUE(get<QCheckBox>("Check1_0")->isChecked());
    EXPECT_FALSE(get<QCheckBox>("Check1_1")->isChecked());
    EXPECT_EQ(list("cbDataType", 1)->currentData().toInt(), 2);
    EXPECT_FALSE(list("cbType", 1)->isVisible());
    EXPECT_EQ(get<QLabel>("lblDataTypeDesc_1")->text(), QStringLiteral("Duration (minutes)"));
    EXPECT_EQ(list("cbType", 1)->currentData().toInt(), 4);
    EXPECT_EQ(get<QLineEdit>("txtIG_1")->text(), QStringLiteral("Jogging"));
    EXPECT_EQ(list("cbDataType", 2)->currentIndex(), -1);
    EXPECT_EQ(get<QLineEdit>("txtMarker")->text(), QStringLiteral("party"));

    // OK writes everything but the data type that has no selection.
    get<QPushButton>("cmdNext")->click();
    EXPECT_EQ(stored("Type2"), "7");
    EXPECT_EQ(stored("Type1"), "2");
    EXPECT_EQ(stored("Insulin_Available"), "0");
    EXPECT_EQ(w.backend.writes, 2 + 12 - 1 + 1);
}

TEST_F(SetupDialogTest, ChoosingADataTypeSwitchesBetweenInsulinListAndUnit) {
    open();
    QComboBox* type = list("cbDataType", 2);
    auto* desc = get<QLabel>("lblDataTypeDesc_2");
    const struct {
        int index;
        bool insulinList;
        const char* unit;
    } steps[] = {{1, false, "Carbohydrates (BU)"}, {2, false, "Duration (minutes)"}, {0, true, "insulin"}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.index);
        type->setCurrentIndex(step.index);
        EXPECT_EQ(list("cbType", 2)->isVisible(), step.insulinList);
        EXPECT_TRUE(desc->isVisible());
        EXPECT_EQ(desc->text(), QLatin1String(step.unit));
        EXPECT_TRUE(list("cbType", 1)->isVisible()); // other rows keep theirs
    }
}

TEST_F(SetupDialogTest, OkStoresExactlyTheShownValues) {
    open();
    get<QCheckBox>("Check1_0")->setChecked(false);
    get<QLineEdit>("txtIG_0")->setText(QStringLiteral("Humalog"));
    list("cbType", 0)->setCurrentIndex(13);
    list("cbDataType", 1)->setCurrentIndex(1);
    get<QLineEdit>("txtIG_1")->setText(QStringLiteral("Bread"));
    get<QLineEdit>("txtMarker")->setText(QString());
    get<QPushButton>("cmdNext")->click();

    EXPECT_FALSE(w.state.bSetupPending);
    EXPECT_EQ(stored("Glucose_Available"), "0");
    EXPECT_EQ(stored("Insulin_Available"), "-1");
    const struct {
        const char* desc;
        const char* type;
        const char* insulin;
    } want[] = {{"Humalog", "0", "13"}, {"Bread", "1", "10"}, {" ", "0", "13"}, {" ", "0", "2"}};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        const std::string n = std::to_string(k);
        EXPECT_EQ(stored(("Desc" + n).c_str()), want[k].desc);
        EXPECT_EQ(stored(("Type" + n).c_str()), want[k].type);
        EXPECT_EQ(stored(("Type_Insulin" + n).c_str()), want[k].insulin);
    }
    EXPECT_EQ(stored("Marker"), " ");
    EXPECT_EQ(w.backend.writes, 2 + 12 + 1);
}

TEST_F(SetupDialogTest, CancelStoresNothing) {
    open();
    get<QCheckBox>("Check1_0")->setChecked(false);
    list("cbDataType", 0)->setCurrentIndex(3);
    get<QPushButton>("cmdCancel")->click();
    EXPECT_FALSE(w.state.bSetupPending);
    EXPECT_EQ(w.backend.writes, 0);
    EXPECT_EQ(stored("Type0"), std::nullopt);
}

} // namespace
} // namespace bdlogic
