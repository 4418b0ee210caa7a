#include "ziv_uvivodu.h"

#include "line_shape.h"
#include "readings_chart.h"
#include "readings_text.h"
#include "start_usb_check.h"
#include "startup/design_scale.h"
#include "startup/dialog_keys.h"
#include "startup/localise_widgets.h"
#include "startup/set_topmost.h"
#include "status_bar_accessible.h"
#include "step_picture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace bdlogic {

namespace {

// The pages' places were laid out in twips; 15 twips are one pixel at 96 dpi. Every length here is designed
// for the 9 pt font and grows with a larger one (DesignScale).
constexpr int Twips(int twips) {
    return (twips + 7) / 15;
}

constexpr int kPageLeft = Twips(2080);   // 139
constexpr int kPageTop = Twips(360);     // 24
constexpr int kPageHeight = Twips(2655); // 177
constexpr int kPageWidth = 410;
constexpr int kWindowWidth = kPageLeft + kPageWidth + 10;
constexpr int kWindowHeight = 250;
constexpr int kButtonTop = kPageTop + kPageHeight + 12;
constexpr int kButtonHeight = 27;
constexpr int kButtonGap = 8;

constexpr int kPortsListHeight = Twips(2055);      // 137
constexpr int kPortsListShortHeight = Twips(1410); // 94, room for the USB button below
constexpr int kPortsListWidth = 170;

// lblSetuptext in frameSetup: the plain text, or the warning beside the warning sign.
constexpr int kSetupFrameHeight = 76;
const QRect kSetupTextOk(Twips(120), 6, Twips(2135), kSetupFrameHeight - 12);
const QRect kSetupTextWarning(Twips(480), 6, Twips(2775), kSetupFrameHeight - 12);
const QColor kSetupOkColor(0, 0, 0);
const QColor kSetupWarningColor(255, 0, 0);

constexpr int kTimerInterval = 70; // ms

// The logic's texts break lines with CR LF; Qt wants LF alone.
QString DisplayText(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QString& tag = QString()) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    if (!tag.isEmpty()) SetTag(label, tag);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text,
                        const QString& tag = QString()) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    // Enter on a focused button presses that button; elsewhere it presses Next (keyPressEvent).
    button->setAutoDefault(true);
    if (!tag.isEmpty()) SetTag(button, tag);
    return button;
}

// A page: a plain panel of fixed size that hides what lies under it.
QFrame* MakePage(QWidget* parent, const char* name) {
    auto* page = new QFrame(parent);
    page->setObjectName(QLatin1String(name));
    page->setAutoFillBackground(true);
    page->hide();
    return page;
}

// The pages keep their place and size whatever their layout would like.
QVBoxLayout* PageLayout(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->setContentsMargins(0, 4, 0, 0);
    return layout;
}

// Sets a caption the logic has given; a label whose text changed is painted at once, since the logic may be
// in the middle of a wait.
void Apply(QLabel* label, const Caption& caption) {
    if (!caption.set) return;
    const QString text = DisplayText(caption.text);
    if (label->text() == text) return;
    label->setText(text);
    // A longer text may need more lines: the page is laid out before that paint, not after it.
    if (QLayout* layout = label->parentWidget()->layout()) layout->activate();
    label->repaint();
}

// A font size designed for the 9 pt window font keeps its proportion to a larger one.
void SetFontBold(QWidget* w, bool bold, double designedPoints = 0) {
    QFont f = w->font();
    f.setBold(bold);
    if (designedPoints > 0) f.setPointSizeF(f.pointSizeF() * designedPoints / kDesignPoints);
    w->setFont(f);
}

// A caption as it reads: a single "&" marks the mnemonic, "&&" is an ampersand.
QString WithoutMnemonic(const QString& caption) {
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && ++i == caption.size()) break;
        out += caption[i];
    }
    return out;
}

// What the step picture shows: the meter on the introduction, the meter at the port on the port page (1164,
// 1184). The model's name and the port's are the same in every language.
QString PictureName(int id, const QString& model) {
    return id > 1000 ? model + QStringLiteral(" – COM") : model;
}

} // namespace

ZivUVIvodu::ZivUVIvodu(Services& services, ImportSteps& steps, Hooks hooks, QWidget* parent)
    : QWidget(parent), services_(services), hooks_(std::move(hooks)),
      wizard_(
          services, steps,
          Wizard::Hooks{
              [this] { render(); },
              [this](bool end) {
                  if (hooks_.iFinished) hooks_.iFinished(end);
              },
              [this] {
                  if (hooks_.callSetup) hooks_.callSetup(picSetup_);
              },
              [this] { return hooks_.random ? hooks_.random() : QRandomGenerator::global()->bounded(256); },
              [this](const QString& parameters) {
                  if (hooks_.startUsbCheck)
                      hooks_.startUsbCheck(parameters);
                  else
                      StartUsbCheck(services_.programDir, parameters, this);
              },
          }) {
    setObjectName(QStringLiteral("zivUVIvodu"));
    setWindowFlag(Qt::Window, true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setFont(DesignFont());
    px_ = DesignScale(*this);
    setFixedSize(px_(kWindowWidth), px_(kWindowHeight));
    // Focus frames from the start, not only after the first Tab: many users never touch the mouse.
    setAttribute(Qt::WA_KeyboardFocusChange);

    imgstp_ = new QLabel(this);
    imgstp_->setObjectName(QStringLiteral("imgstp"));
    imgstp_->setGeometry(px_(QRect(2, (kWindowHeight - 240) / 2, 135, 240)));

    lblMeterName_ = MakeLabel(this, "lblMeterName", QStringLiteral("Datenimport"));
    lblMeterName_->setWordWrap(false);
    lblMeterName_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetFontBold(lblMeterName_, true, 11);
    lblMeterName_->setGeometry(px_(QRect(kPageLeft, 0, kPageWidth, kPageTop)));

    buildIntro();
    buildSelectCom();
    buildProgress();
    buildSuccess();

    picSetup_ = new QWidget(this);
    picSetup_->setObjectName(QStringLiteral("picSetup"));
    picSetup_->setAutoFillBackground(true);
    picSetup_->hide();

    buildButtons();

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(kTimerInterval);
    connect(timer1_, &QTimer::timeout, this, [this] { wizard_.Timer1_Timer(); });

    GrowDesignedSizes(*this, px_);
    placePages();
    LocaliseForm(services_.texts(), *this);
    nameControls();
    alignResultTitles();
    placeButtons();
}

ZivUVIvodu::~ZivUVIvodu() = default;

void ZivUVIvodu::buildIntro() {
    contIntro_ = MakePage(this, "contIntro");
    auto* layout = PageLayout(contIntro_);
    layout->setSpacing(8);
    lblintro_ =
        MakeLabel(contIntro_, "lblintro",
                  QStringLiteral("Dieser Assistent überträgt die gespeicherten Messwerte Ihres "
                                 "Blutzuckermessgeräts in Ihr Tagebuch.\n\nKlicken Sie auf WEITER, um zu "
                                 "beginnen."));
    layout->addWidget(lblintro_);
    layout->addStretch(1);

    frameSetup_ = new QFrame(contIntro_);
    frameSetup_->setObjectName(QStringLiteral("frameSetup"));
    frameSetup_->setFrameShape(QFrame::StyledPanel);
    frameSetup_->setFixedHeight(kSetupFrameHeight);
    frameSetup_->hide();
    layout->addWidget(frameSetup_);

    imgdoinit_ = new QLabel(frameSetup_);
    imgdoinit_->setObjectName(QStringLiteral("imgdoinit"));
    imgdoinit_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(px_(22), px_(22)));
    imgdoinit_->setGeometry(px_(QRect(5, (kSetupFrameHeight - 22) / 2, 22, 22)));
    imgdoinit_->hide();

    lblSetuptext_ =
        MakeLabel(frameSetup_, "lblSetuptext",
                  QStringLiteral("Bitte wählen Sie EINSTELLUNGEN, umden Datenimport zu konfigurieren"),
                  QStringLiteral("L1260"));
    lblSetuptext_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblSetuptext_->setGeometry(px_(kSetupTextOk));

    cmdSetup_ =
        MakeButton(frameSetup_, "cmdSetup", QStringLiteral("&Einstellungen"), QStringLiteral("L1261"));
    connect(cmdSetup_, &QPushButton::clicked, this, [this] { handle(&Wizard::cmdSetup_Click); });
}

void ZivUVIvodu::buildSelectCom() {
    contSelectCom_ = MakePage(this, "contSelectCom");
    auto* layout = PageLayout(contSelectCom_);
    layout->setSpacing(6);
    label2_ = MakeLabel(
        contSelectCom_, "Label2",
        QStringLiteral("Bitte wählen Sie die Schnittstelle, an welche das Meßgerät angeschlossen ist."),
        QStringLiteral("L1202"));
    layout->addWidget(label2_);

    lbPorts_ = new QListWidget(contSelectCom_);
    lbPorts_->setObjectName(QStringLiteral("lbPorts"));
    lbPorts_->setFixedSize(kPortsListWidth, kPortsListHeight);
    lbPorts_->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(lbPorts_);
    connect(lbPorts_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!rendering_) onPortChanged(lbPorts_->row(item));
    });
    // The arrow keys and clicks move the current entry; the logic keeps it, so a refresh leaves it there.
    connect(lbPorts_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!rendering_) wizard_.screen().ports.setCurrent(row);
    });

    // Designer text and Tag: the title of the USB cable message.
    cmdUSBInfo_ =
        MakeButton(contSelectCom_, "cmdUSBInfo", QStringLiteral("USB-Kabel"), QStringLiteral("L1387"));
    cmdUSBInfo_->hide();
    layout->addWidget(cmdUSBInfo_, 0, Qt::AlignLeft);
    layout->addStretch(1);
    connect(cmdUSBInfo_, &QPushButton::clicked, this, [this] { handle(&Wizard::cmdUSBInfo_Click); });
}

void ZivUVIvodu::buildProgress() {
    contProgress_ = MakePage(this, "contProgress");
    auto* layout = PageLayout(contProgress_);
    layout->setSpacing(8);
    lblStepGuide_ = MakeLabel(contProgress_, "lblStepGuide", QString());
    ActAsStatusBar(lblStepGuide_);
    layout->addWidget(lblStepGuide_);
    layout->addStretch(1);
    // Nothing drives the bar: it stays a slim empty track until the download hides it.
    pbar_ = new QProgressBar(contProgress_);
    pbar_->setObjectName(QStringLiteral("pbar"));
    pbar_->setTextVisible(false);
    pbar_->setRange(0, 100);
    pbar_->setValue(0);
    pbar_->setFixedHeight(8);
    layout->addWidget(pbar_);

    contAnimation_ = new QFrame(contProgress_);
    contAnimation_->setObjectName(QStringLiteral("contAnimation"));
    contAnimation_->hide();
    auto* anim = new QVBoxLayout(contAnimation_);
    anim->setContentsMargins(0, 0, 0, 8);
    anim->setSpacing(2);
    lineAnimate_ = new LineShape(contAnimation_);
    lineAnimate_->setObjectName(QStringLiteral("lineAnimate"));
    lineAnimate_->setBorderWidth(px_(3));
    lineAnimate_->setFixedSize(220, 6);
    lineAnimate_->setBorderColor(QColor(255, 0, 0));
    anim->addWidget(lineAnimate_, 0, Qt::AlignHCenter);
    lblAnimate_ = MakeLabel(contAnimation_, "lblAnimate", QStringLiteral("01111011001"));
    // A name of its own keeps the turning digits, 14 a second, from reaching a screen reader as name changes.
    lblAnimate_->setAccessibleName(lblAnimate_->text());
    lblAnimate_->setWordWrap(false);
    lblAnimate_->setAlignment(Qt::AlignCenter);
    SetFontBold(lblAnimate_, true, 12);
    anim->addWidget(lblAnimate_, 0, Qt::AlignHCenter);
    layout->addWidget(contAnimation_);
}

void ZivUVIvodu::buildSuccess() {
    contSuccess_ = MakePage(this, "contSuccess");
    auto* layout = PageLayout(contSuccess_);
    layout->setSpacing(6);
    lblSuccess_ = MakeLabel(contSuccess_, "lblSuccess",
                            QStringLiteral("Folgende Daten wurden aus dem Messgerät ausgelesen:"),
                            QStringLiteral("L1213"));
    layout->addWidget(lblSuccess_);

    // The logic puts the values into lblnBG, lblnIG and lblMeterID; their titles stand beside them. The two
    // counts share a row, to leave the chart below them room.
    auto* rows = new QGridLayout;
    rows->setContentsMargins(12, 0, 0, 0);
    rows->setHorizontalSpacing(12);
    rows->setVerticalSpacing(4);
    auto row = [&](QWidget* parent, const char* titleName, const char* valueName, const QString& text,
                   const QString& tag) {
        QLabel* title = MakeLabel(parent, titleName, text, tag);
        title->setWordWrap(false);
        if (parent == contSuccess_) resultTitles_ << title; // the titles of the first column
        QLabel* value = MakeLabel(parent, valueName, text, tag);
        SetFontBold(value, true);
        title->setBuddy(value); // also the value's label for a screen reader
        return std::pair{title, value};
    };
    auto [bgTitle, bg] =
        row(contSuccess_, "lblnBGTitle", "lblnBG", QStringLiteral("Blutzucker:"), QStringLiteral("L1219"));
    lblnBG_ = bg;
    rows->addWidget(bgTitle, 0, 0);
    rows->addWidget(lblnBG_, 0, 1);

    frresultInsulin_ = new QFrame(contSuccess_);
    frresultInsulin_->setObjectName(QStringLiteral("frresultInsulin"));
    frresultInsulin_->hide();
    auto* insulin = new QHBoxLayout(frresultInsulin_);
    insulin->setContentsMargins(3 * fontMetrics().horizontalAdvance(u'0'), 0, 0, 0);
    insulin->setSpacing(12);
    auto [igTitle, ig] =
        row(frresultInsulin_, "lblnIGTitle", "lblnIG", QStringLiteral("Insulin:"), QStringLiteral("L3041"));
    lblnIG_ = ig;
    insulin->addWidget(igTitle);
    insulin->addWidget(lblnIG_, 1);
    rows->addWidget(frresultInsulin_, 0, 2);

    auto [idTitle, id] = row(contSuccess_, "lblMeterIDTitle", "lblMeterID", QStringLiteral("Geräte-ID:"),
                             QStringLiteral("L1224"));
    lblMeterID_ = id;
    rows->addWidget(idTitle, 1, 0);
    rows->addWidget(lblMeterID_, 1, 1, 1, 2);
    rows->setColumnStretch(2, 1);
    layout->addLayout(rows);

    lblNoDate_ = MakeLabel(contSuccess_, "lblNoDate", QString());
    layout->addWidget(lblNoDate_);

    // The readings at a glance take the rest of the page; without them the labels keep to the top.
    chartReadings_ = new ReadingsChart(contSuccess_);
    chartReadings_->setObjectName(QStringLiteral("chartReadings"));
    chartReadings_->setAccessibleName(QStringLiteral("Blutzuckerwerte dieser Übertragung"));
    chartReadings_->hide();
    layout->addWidget(chartReadings_, 1);
    layout->addStretch(0);
}

void ZivUVIvodu::buildButtons() {
    cmdHelp_ = MakeButton(this, "cmdHelp", QStringLiteral("&Hilfe"));
    cmdCancel_ = MakeButton(this, "cmdCancel", QStringLiteral("&Abbrechen"), QStringLiteral("L901"));
    cmdNext_ = MakeButton(this, "cmdNext", QStringLiteral("&Weiter >>"), QStringLiteral("L905"));
    cmdNext_->setAutoDefault(false);
    cmdNext_->setDefault(true);
    CancelOnEscape(cmdCancel_);
    connect(cmdNext_, &QPushButton::clicked, this, [this] { handle(&Wizard::cmdNext_Click); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { handle(&Wizard::cmdCancel_Click); });
    connect(cmdHelp_, &QPushButton::clicked, this, [this] { handle(&Wizard::cmdHelp_Click); });
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, [this] { handle(&Wizard::cmdHelp_Click); });
}

void ZivUVIvodu::placePages() {
    const QRect page = px_(QRect(kPageLeft, kPageTop, kPageWidth, kPageHeight));
    for (QWidget* w : {static_cast<QWidget*>(contIntro_), static_cast<QWidget*>(contSelectCom_),
                       static_cast<QWidget*>(contProgress_), static_cast<QWidget*>(contSuccess_)})
        w->setGeometry(page);
    // The set-up panel brings its own OK and Cancel: it covers the pages and the wizard's buttons.
    picSetup_->setGeometry(
        px_(QRect(kPageLeft, kPageTop, kWindowWidth - kPageLeft, kWindowHeight - kPageTop)));
}

void ZivUVIvodu::placeButtons() {
    auto width = [this](QPushButton* b) { return std::max(px_(96), b->sizeHint().width() + px_(12)); };
    const int right = px_(kPageLeft + kPageWidth);
    const int top = px_(kButtonTop);
    const int height = px_(kButtonHeight);
    const int next = width(cmdNext_);
    const int cancel = width(cmdCancel_);
    cmdNext_->setGeometry(right - next, top, next, height);
    cmdCancel_->setGeometry(right - next - px_(kButtonGap) - cancel, top, cancel, height);
    cmdHelp_->setGeometry(px_(kPageLeft), top, width(cmdHelp_), height);
    const int setup = std::max(px_(120), cmdSetup_->sizeHint().width() + px_(12));
    cmdSetup_->setGeometry(px_(kPageWidth - 8) - setup, px_(kSetupFrameHeight - kButtonHeight) / 2, setup,
                           height);
}

void ZivUVIvodu::nameControls() {
    // Names come from the captions LocaliseForm has just set, so they speak the language pack's words.
    label2_->setBuddy(lbPorts_);
    lbPorts_->setAccessibleName(label2_->text());
}

void ZivUVIvodu::alignResultTitles() {
    int widest = 0;
    for (QLabel* title : resultTitles_)
        widest = std::max(widest, title->sizeHint().width());
    for (QLabel* title : resultTitles_)
        title->setFixedWidth(widest);
}

void ZivUVIvodu::Go() {
    wizard_.Go();
    SetTopmost(this);
    show();
    raise();
    activateWindow();
    focusWhereTheUserActs();
}

void ZivUVIvodu::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    timer1_->stop();
    wizard_.Unload();
    renderCursor();
    close();
}

void ZivUVIvodu::showStep(const QString& text) {
    wizard_.screen().lblStepGuide = text;
    render();
}

void ZivUVIvodu::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        // Closing the window is Cancel; the program's end unloads the window.
        wizard_.cmdCancel_Click();
        render();
    }
    if (unloaded_)
        event->accept();
    else
        event->ignore();
}

void ZivUVIvodu::keyPressEvent(QKeyEvent* event) {
    // Enter that no control took presses the default button shown: Next, or the set-up's OK.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && PressDefaultButton(*this)) return;
    QWidget::keyPressEvent(event);
}

void ZivUVIvodu::handle(void (Wizard::*handler)()) {
    (wizard_.*handler)();
    render();
}

void ZivUVIvodu::onPortChanged(int row) {
    wizard_.lbPorts_ItemCheck(row);
    render();
}

void ZivUVIvodu::render() {
    // An unloaded window shows nothing more: the logic may still refresh while it unwinds.
    if (rendering_ || unloaded_) return;
    rendering_ = true;
    const WizardScreen& s = wizard_.screen();
    if (!s.title.isEmpty()) setWindowTitle(s.title);
    if (s.stepPicture != shownPicture_) {
        QPixmap picture = StepPicture(s.stepPicture);
        if (px_.factor() != 1 && !picture.isNull())
            picture = picture.scaled(imgstp_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        imgstp_->setPixmap(picture);
        shownPicture_ = s.stepPicture;
        imgstp_->setAccessibleName(PictureName(s.stepPicture, s.title));
    }
    Apply(lblMeterName_, s.lblMeterName);
    renderPages();
    renderIntro();
    renderPorts();
    Apply(lblStepGuide_, s.lblStepGuide);
    pbar_->setVisible(s.pbarVisible);
    renderAnimation();
    renderResult();
    renderButtons();
    renderCursor();
    // The page's title tells a screen reader which page this is.
    const QString title = pageTitle();
    if (accessibleDescription() != title) setAccessibleDescription(title);
    rendering_ = false;
}

void ZivUVIvodu::renderPages() {
    const WizardScreen& s = wizard_.screen();
    const std::pair<QWidget*, bool> pages[] = {{contIntro_, s.introVisible},
                                               {contSelectCom_, s.selectComVisible},
                                               {contProgress_, s.progressVisible},
                                               {contSuccess_, s.successVisible},
                                               {picSetup_, s.setupVisible}};
    switch (s.front) {
    case WizardPage::Intro:
        contIntro_->raise();
        break;
    case WizardPage::SelectCom:
        contSelectCom_->raise();
        break;
    case WizardPage::Progress:
        contProgress_->raise();
        break;
    case WizardPage::Success:
        contSuccess_->raise();
        break;
    case WizardPage::Setup:
        picSetup_->raise();
        break;
    case WizardPage::None:
        break;
    }
    // The pages cover each other whole: only the top one of those the logic shows is shown, so that the ones
    // under it take neither the focus nor their mnemonics, nor reach a screen reader.
    QWidget* top = nullptr;
    for (QObject* child : children())
        for (const auto& [page, visible] : pages)
            if (child == page && visible) top = page;
    for (const auto& [page, visible] : pages)
        page->setVisible(page == top);
    if (top != topPage_) focusPending_ = true;
    topPage_ = top;
}

QString ZivUVIvodu::pageTitle() const {
    if (topPage_ == contIntro_) return lblintro_->text();
    if (topPage_ == contSelectCom_) return label2_->text();
    if (topPage_ == contProgress_) return lblStepGuide_->text();
    if (topPage_ == contSuccess_) return lblSuccess_->text();
    if (topPage_ == picSetup_) return WithoutMnemonic(cmdSetup_->text());
    return QString();
}

void ZivUVIvodu::focusWhereTheUserActs() {
    if (topPage_ == picSetup_) return; // the set-up puts it on its OK
    QWidget* target = cmdNext_;
    if (topPage_ == contSelectCom_)
        target = lbPorts_;
    else if (!cmdNext_->isEnabled())
        target = cmdSetup_->isVisibleTo(this) ? static_cast<QWidget*>(cmdSetup_) : cmdCancel_;
    if (target->isVisibleTo(this) && target->isEnabled()) target->setFocus(Qt::OtherFocusReason);
}

void ZivUVIvodu::renderIntro() {
    const WizardScreen& s = wizard_.screen();
    Apply(lblintro_, s.lblintro);
    Apply(lblSetuptext_, s.lblSetuptext);
    const int warning = s.setupWarning ? 1 : 0;
    if (warning != warningShown_) {
        warningShown_ = warning;
        QPalette palette = lblSetuptext_->palette();
        palette.setColor(QPalette::WindowText, s.setupWarning ? kSetupWarningColor : kSetupOkColor);
        lblSetuptext_->setPalette(palette);
        SetFontBold(lblSetuptext_, s.setupWarning);
        lblSetuptext_->setGeometry(px_(s.setupWarning ? kSetupTextWarning : kSetupTextOk));
    }
    imgdoinit_->setVisible(s.imgdoinitVisible);
    frameSetup_->setVisible(s.frameSetupVisible);
}

void ZivUVIvodu::renderButtons() {
    const WizardScreen& s = wizard_.screen();
    // The set-up panel covers the buttons and brings its own.
    const bool covered = topPage_ == picSetup_;
    // Next going off under the focus (the download): the focus goes to Cancel, which still works.
    if (!s.nextEnabled && focusWidget() == cmdNext_ && s.cancelVisible && !covered) cmdCancel_->setFocus();
    cmdNext_->setEnabled(s.nextEnabled);
    cmdNext_->setVisible(s.nextVisible && !covered);
    if (s.nextCaption.set && cmdNext_->text() != s.nextCaption.text) {
        cmdNext_->setText(s.nextCaption.text);
        placeButtons();
    }
    cmdCancel_->setVisible(s.cancelVisible && !covered);
    cmdHelp_->setVisible(s.helpVisible && !covered);
    if (focusPending_) {
        focusPending_ = false;
        focusWhereTheUserActs();
    }
}

void ZivUVIvodu::renderAnimation() {
    const WizardScreen& s = wizard_.screen();
    contAnimation_->setVisible(s.animationVisible);
    if (s.timerEnabled && !timer1_->isActive())
        timer1_->start();
    else if (!s.timerEnabled && timer1_->isActive())
        timer1_->stop();
    const QColor red(std::clamp(s.lineAnimateColor, 0, 255), 0, 0);
    if (lineAnimate_->borderColor() != red) {
        lineAnimate_->setBorderColor(red);
        lineAnimate_->repaint();
    }
    Apply(lblAnimate_, s.lblAnimate);
}

void ZivUVIvodu::renderResult() {
    const WizardScreen& s = wizard_.screen();
    Apply(lblNoDate_, s.lblNoDate);
    lblNoDate_->setVisible(!lblNoDate_->text().isEmpty());
    Apply(lblMeterID_, s.lblMeterID);
    Apply(lblnBG_, s.lblnBG);
    Apply(lblnIG_, s.lblnIG);
    frresultInsulin_->setVisible(s.frresultInsulinVisible);
    if (s.successVisible && !chartShown_) showChart();
    if (s.successVisible) nameCounts();
}

// The chart is drawn once, from the records the import file was written from.
void ZivUVIvodu::showChart() {
    chartShown_ = true;
    DownloadReadings readings(wizard_.records());
    const Language* texts = services_.texts();
    std::array<QString, 4> markerNames;
    for (std::size_t i = 0; i < markerNames.size(); ++i)
        markerNames[i] = loadres(texts, kMarkerKindFirst + static_cast<int>(i)).value_or(QString());
    if (const auto name = loadres(texts, kChartName)) chartReadings_->setAccessibleName(*name);
    chartReadings_->setAccessibleDescription(ReadingsSummary(readings, texts, QLocale()).value_or(QString()));
    chartReadings_->setVisible(!readings.readings().empty());
    chartReadings_->setReadings(std::move(readings), std::move(markerNames));
}

void ZivUVIvodu::nameCounts() {
    // A count is named with its title, so that the name change a screen reader hears says what was counted.
    for (QLabel* title : contSuccess_->findChildren<QLabel*>()) {
        auto* value = qobject_cast<QLabel*>(title->buddy());
        if (!value) continue;
        const QString name = title->text() + u' ' + value->text();
        if (value->accessibleName() != name) value->setAccessibleName(name);
    }
}

void ZivUVIvodu::renderPorts() {
    const WizardScreen& s = wizard_.screen();
    cmdUSBInfo_->setVisible(s.usbInfoVisible);
    lbPorts_->setFixedHeight(px_(s.portsListShort ? kPortsListShortHeight : kPortsListHeight));

    const auto& entries = s.ports.entries();
    bool same = lbPorts_->count() == static_cast<int>(entries.size());
    for (int i = 0; same && i < lbPorts_->count(); ++i)
        same = lbPorts_->item(i)->text() == entries[static_cast<std::size_t>(i)].text &&
               lbPorts_->item(i)->toolTip() == entries[static_cast<std::size_t>(i)].toolTip;
    if (!same) {
        lbPorts_->clear();
        for (const PortEntry& e : entries) {
            auto* item = new QListWidgetItem(e.text, lbPorts_);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            // Qt draws the box, and lets a click or Space tick it, only for an item that has a check state.
            item->setCheckState(Qt::Unchecked);
            item->setData(Qt::UserRole, e.itemData);
            item->setToolTip(e.toolTip);
        }
    }
    for (int i = 0; i < lbPorts_->count(); ++i) {
        const Qt::CheckState want =
            entries[static_cast<std::size_t>(i)].selected ? Qt::Checked : Qt::Unchecked;
        if (lbPorts_->item(i)->checkState() != want) lbPorts_->item(i)->setCheckState(want);
    }
    const int current = s.ports.current();
    if (current >= 0 && current < lbPorts_->count() && lbPorts_->currentRow() != current) {
        lbPorts_->setCurrentRow(current);
        lbPorts_->scrollToItem(lbPorts_->item(current));
    }
}

void ZivUVIvodu::renderCursor() { hourglass_.set(wizard_.screen().hourglass && !unloaded_); }

} // namespace bdlogic
