#include "startup/language.h"
#include "startup/localise.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace bdlogic {
namespace {

TEST(TagTextId, ReadsTheNumberBehindUpperCaseL) {
    struct Case {
        const char* tag;
        std::optional<std::int16_t> id;
    };
    const Case cases[] = {
        {"L905", 905},       {"L1260", 1260},     {"L517", 517},
        {"l1260", std::nullopt}, // the first character must be an upper-case L
        {"L", std::nullopt}, {"LL", std::nullopt}, {"", std::nullopt},
        {"X12", std::nullopt}, {"1260", std::nullopt},
        {"L12L", 12},        {"L1l2", 12},        // every L goes, either case
        {"Lx", std::nullopt}, {"L40000", std::nullopt}, // not a 16-bit number
    };
    for (const Case& c : cases) EXPECT_EQ(TagTextId(QString::fromUtf8(c.tag)), c.id) << c.tag;
}

TEST(SplitButtonText, EmptyPartsLeaveTheButtonsOwn) {
    struct Case {
        const char* text;
        std::optional<QString> caption;
        std::optional<QString> toolTip;
    };
    const Case cases[] = {
        {"Weiter|Tip", QStringLiteral("Weiter"), QStringLiteral("Tip")},
        {"|Tip", std::nullopt, QStringLiteral("Tip")},
        {"Text|", QStringLiteral("Text"), std::nullopt},
        {"Text", QStringLiteral("Text"), std::nullopt},
        {"", std::nullopt, std::nullopt},
        {"A||B", QStringLiteral("A"), std::nullopt},
        {"A|B|C", QStringLiteral("A"), QStringLiteral("B")},
    };
    for (const Case& c : cases) {
        const ButtonText parts = SplitButtonText(QString::fromUtf8(c.text));
        EXPECT_EQ(parts.caption, c.caption) << c.text;
        EXPECT_EQ(parts.toolTip, c.toolTip) << c.text;
    }
}

// Records what the localisation does, in order, in a log shared by the window's controls.
class FakeControl : public LocalisableControl {
public:
    FakeControl(QString name, QString tag, bool button, QString caption, std::vector<QString>* log)
        : name(std::move(name)), caption(std::move(caption)), tag_(std::move(tag)), button_(button), log_(log) {}
    QString tag() const override { return tag_; }
    bool isButton() const override { return button_; }
    void setCaption(const QString& text) override {
        caption = text;
        log_->push_back(name + QStringLiteral(" caption"));
    }
    void setToolTip(const QString& text) override {
        toolTip = text;
        log_->push_back(name + QStringLiteral(" tip"));
    }
    void setFontName(const QString& font) override {
        fontName = font;
        log_->push_back(name + QStringLiteral(" font"));
    }

    QString name;
    QString caption;
    QString toolTip;
    QString fontName;

private:
    QString tag_;
    bool button_;
    std::vector<QString>* log_;
};

class FakeWindow : public LocalisableWindow {
public:
    QString tag() const override { return windowTag; }
    void setCaption(const QString& text) override { caption = text; }
    std::vector<LocalisableControl*> controls() override {
        std::vector<LocalisableControl*> out;
        for (auto& c : items) out.push_back(c.get());
        return out;
    }
    FakeControl& add(const char* name, const char* tag, bool button, const char* caption) {
        items.push_back(std::make_unique<FakeControl>(QString::fromUtf8(name), QString::fromUtf8(tag), button,
                                                      QString::fromUtf8(caption), &log));
        return *items.back();
    }

    QString windowTag;
    QString caption = QStringLiteral("Designer");
    std::vector<std::unique_ptr<FakeControl>> items;
    std::vector<QString> log;
};

std::unique_ptr<LanguagePack> Texts() {
    return LanguagePack::fromText(QStringLiteral("905=&Next >>|Go on\n"
                                                 "1260=Choose SETTINGS\n"
                                                 "1261=|Only a tip\n"
                                                 "1300=A|B\n"
                                                 "1200=Title\n"));
}

TEST(LocaliseForm, GivesTaggedControlsTheirTextsAndKeepsTheRest) {
    FakeWindow w;
    w.windowTag = QStringLiteral("L1200");
    auto& next = w.add("cmdNext", "L905", true, "&Weiter >>");
    auto& setupText = w.add("lblSetuptext", "L1260", false, "Bitte");
    auto& setup = w.add("cmdSetup", "L1261", true, "&Einstellungen");
    auto& pipe = w.add("lblPipe", "L1300", false, "x");
    auto& unknown = w.add("lblUnknown", "L999", false, "Designer");
    auto& untagged = w.add("lblintro", "", false, "Intro");
    auto& lower = w.add("lblLower", "l1260", false, "klein");
    const auto texts = Texts();

    LocaliseForm(texts.get(), w);

    EXPECT_EQ(next.caption, QStringLiteral("&Next >>"));
    EXPECT_EQ(next.toolTip, QStringLiteral("Go on"));
    EXPECT_EQ(setupText.caption, QStringLiteral("Choose SETTINGS"));
    EXPECT_EQ(setup.caption, QStringLiteral("&Einstellungen"));
    EXPECT_EQ(setup.toolTip, QStringLiteral("Only a tip"));
    EXPECT_EQ(pipe.caption, QStringLiteral("A|B")); // only buttons split their text
    EXPECT_EQ(unknown.caption, QStringLiteral("Designer"));
    EXPECT_EQ(untagged.caption, QStringLiteral("Intro"));
    EXPECT_EQ(lower.caption, QStringLiteral("klein"));
    EXPECT_EQ(w.caption, QStringLiteral("Title"));
    for (const auto& c : w.items) EXPECT_EQ(c->fontName, QStringLiteral("Arial")) << c->name.toStdString();
}

TEST(LocaliseForm, SetsFontThenTextControlByControlInOrder) {
    FakeWindow w;
    w.add("cmdNext", "L905", true, "");
    w.add("lblintro", "", false, "");
    w.add("lblSetuptext", "L1260", false, "");
    const auto texts = Texts();
    LocaliseForm(texts.get(), w);
    const std::vector<QString> expected = {"cmdNext font",  "cmdNext caption",   "cmdNext tip",
                                           "lblintro font", "lblSetuptext font", "lblSetuptext caption"};
    EXPECT_EQ(w.log, expected);
}

TEST(LocaliseForm, WithoutALibraryOnlyTheFontChanges) {
    FakeWindow w;
    w.windowTag = QStringLiteral("L1200");
    auto& next = w.add("cmdNext", "L905", true, "&Weiter >>");
    auto& label = w.add("lblSetuptext", "L1260", false, "Bitte");
    LocaliseForm(nullptr, w);
    EXPECT_EQ(next.caption, QStringLiteral("&Weiter >>"));
    EXPECT_TRUE(next.toolTip.isEmpty());
    EXPECT_EQ(label.caption, QStringLiteral("Bitte"));
    EXPECT_EQ(w.caption, QStringLiteral("Designer"));
    EXPECT_EQ(label.fontName, QStringLiteral("Arial"));
    EXPECT_EQ(w.log.size(), 2u);
}

TEST(LocaliseForm, WindowTagWithoutAUsableIdKeepsTheCaption) {
    const auto texts = Texts();
    for (const char* tag : {"L", "", "l1200", "L999", "X1200"}) {
        FakeWindow w;
        w.windowTag = QString::fromUtf8(tag);
        LocaliseForm(texts.get(), w);
        EXPECT_EQ(w.caption, QStringLiteral("Designer")) << tag;
    }
}

} // namespace
} // namespace bdlogic
