#include "frm_setup_bdlogic.h"

#include "marker_settings.h"
#include "startup/design_scale.h"
#include "startup/dialog_keys.h"
#include "startup/localise_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace bdlogic {

namespace {

// Designed for the 9 pt font; grown with a larger one (DesignScale).
constexpr int kWidth = 420;
constexpr int kHeight = 226;
constexpr int kButtonHeight = 27;
constexpr int kMargin = 10;

QString Indexed(const char* stem, int k) {
    return QLatin1String(stem) + u'_' + QString::number(k);
}

template <typename W> W* Named(W* w, const QString& name, int index = -1) {
    w->setObjectName(name);
    if (index >= 0) w->setProperty("Index", index);
    return w;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, int index, const QString& text,
                  const QString& tag = {}) {
    auto* label = Named(new QLabel(text, parent), name, index);
    label->setTextFormat(Qt::PlainText);
    if (!tag.isEmpty()) SetTag(label, tag);
    return label;
}

// A check box's value: 0 unchecked, 1 checked, 2 greyed; other values cannot be shown.
void SetBoxValue(QCheckBox* box, std::optional<std::int16_t> value) {
    if (!value || *value < 0 || *value > 2) return;
    if (*value == 2) box->setTristate(true);
    box->setCheckState(*value == 0 ? Qt::Unchecked : *value == 1 ? Qt::Checked : Qt::PartiallyChecked);
}

std::int16_t BoxValue(const QCheckBox* box) {
    switch (box->checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Checked:
        break;
    }
    return 1;
}

// The item data of the selected item, when one is selected.
std::optional<std::int16_t> SelectedData(const QComboBox* list) {
    if (list->currentIndex() < 0) return std::nullopt;
    bool ok = false;
    const int data = list->currentData().toInt(&ok);
    if (!ok || data < INT16_MIN || data > INT16_MAX) return std::nullopt;
    return static_cast<std::int16_t>(data);
}

void Fill(QComboBox* list, const std::vector<ListItem>& items) {
    const QSignalBlocker quiet(list);
    list->clear();
    for (const ListItem& item : items)
        list->addItem(item.text, item.itemData);
    // A filled list has nothing selected until the load selects the stored value.
    list->setCurrentIndex(-1);
}

} // namespace

FrmSetupBDlogic::FrmSetupBDlogic(Services& services, QWidget* parent) : QWidget(parent), services_(services) {
    setObjectName(QStringLiteral("frmSetupBDlogic"));
    setFont(DesignFont());
    px_ = DesignScale(*this);
    resize(px_(kWidth), px_(kHeight));
    buildControls();
    GrowDesignedSizes(*this, px_);
    LocaliseForm(services_.texts(), *this);
}

FrmSetupBDlogic::~FrmSetupBDlogic() {
    // Go moved these into the wizard's container: they go with the dialog.
    delete contSetup_.data();
    delete cmdCancel_.data();
    delete cmdNext_.data();
}

void FrmSetupBDlogic::buildControls() {
    contSetup_ = Named(new QFrame(this), QStringLiteral("contSetup"));
    contSetup_->setAutoFillBackground(true);
    contSetup_->setGeometry(px_(QRect(0, 0, kWidth, kHeight - kButtonHeight - 2 * kMargin + 6)));
    auto* layout = new QVBoxLayout(contSetup_);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->setContentsMargins(0, 2, kMargin, 0);
    layout->setSpacing(3);

    auto* boxes = new QHBoxLayout;
    boxes->setSpacing(16);
    check1_[0] =
        Named(new QCheckBox(QStringLiteral("Blut&zucker"), contSetup_), QStringLiteral("Check1_0"), 0);
    SetTag(check1_[0], QStringLiteral("L516"));
    check1_[1] = Named(new QCheckBox(QStringLiteral("&Insulin"), contSetup_), QStringLiteral("Check1_1"), 1);
    SetTag(check1_[1], QStringLiteral("L517"));
    boxes->addWidget(check1_[0]);
    boxes->addWidget(check1_[1]);
    boxes->addStretch(1);
    layout->addLayout(boxes);

    label2_1_ = MakeLabel(contSetup_, QStringLiteral("Label2_1"), 1,
                          QStringLiteral("Insulinbezeichnungen übersetzen:"), QStringLiteral("L1227"));
    QFont heading = label2_1_->font();
    heading.setBold(true);
    label2_1_->setFont(heading);
    layout->addWidget(label2_1_);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    label1_[0] =
        MakeLabel(contSetup_, Indexed("Label1", 0), 0, QStringLiteral("Insulin"), QStringLiteral("L5136"));
    label1_[5] =
        MakeLabel(contSetup_, Indexed("Label1", 5), 5, QStringLiteral("Insulin"), QStringLiteral("L454"));
    label1_[6] =
        MakeLabel(contSetup_, Indexed("Label1", 6), 6, QStringLiteral("Insulin"), QStringLiteral("L454"));
    grid->addWidget(label1_[0], 0, 1);
    grid->addWidget(label1_[5], 0, 2);
    grid->addWidget(label1_[6], 0, 3);
    for (int k = 0; k < 4; ++k) {
        const int row = k + 1;
        label1_[static_cast<std::size_t>(row)] =
            MakeLabel(contSetup_, Indexed("Label1", row), row, QStringLiteral("P%1:").arg(row));
        grid->addWidget(label1_[static_cast<std::size_t>(row)], row, 0);

        auto* dataType = Named(new QComboBox(contSetup_), Indexed("cbDataType", k), k);
        dataType->setMinimumWidth(105);
        connect(dataType, &QComboBox::currentIndexChanged, this, [this, k] { cbDataType_Click(k); });
        cbDataType_[static_cast<std::size_t>(k)] = dataType;
        grid->addWidget(dataType, row, 1);

        // The unit label lies under the insulin list: it shows when the list hides for the other kinds.
        auto* desc = MakeLabel(contSetup_, Indexed("lblDataTypeDesc", k), k, QStringLiteral("Test"));
        lblDataTypeDesc_[static_cast<std::size_t>(k)] = desc;
        grid->addWidget(desc, row, 2);
        auto* type = Named(new QComboBox(contSetup_), Indexed("cbType", k), k);
        type->setMinimumWidth(175);
        // As wide as the longest insulin type, so that no chosen type is cut off.
        type->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        cbType_[static_cast<std::size_t>(k)] = type;
        grid->addWidget(type, row, 2);

        auto* text = Named(new QLineEdit(QStringLiteral("Text1"), contSetup_), Indexed("txtIG", k), k);
        txtIG_[static_cast<std::size_t>(k)] = text;
        grid->addWidget(text, row, 3);
    }
    grid->setColumnStretch(3, 1);
    layout->addLayout(grid);

    auto* marker = new QHBoxLayout;
    lblMarker_ = MakeLabel(contSetup_, QStringLiteral("lblMarker"), -1, QStringLiteral("* ="));
    txtMarker_ = Named(new QLineEdit(contSetup_), QStringLiteral("txtMarker"));
    marker->addWidget(lblMarker_);
    marker->addWidget(txtMarker_, 1);
    layout->addLayout(marker);
    layout->addStretch(1);

    cmdNext_ = Named(new QPushButton(QStringLiteral("&OK"), this), QStringLiteral("cmdNext"));
    SetTag(cmdNext_, QStringLiteral("L900"));
    cmdCancel_ = Named(new QPushButton(QStringLiteral("&Abbrechen"), this), QStringLiteral("cmdCancel"));
    SetTag(cmdCancel_, QStringLiteral("L901"));
    // Enter presses OK unless the focus is on Cancel; Escape is Cancel.
    cmdNext_->setAutoDefault(false);
    cmdNext_->setDefault(true);
    cmdCancel_->setAutoDefault(true);
    CancelOnEscape(cmdCancel_);
    connect(cmdNext_, &QPushButton::clicked, this, [this] { cmdNext_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void FrmSetupBDlogic::load() {
    const Language* texts = services_.texts();
    const MarkerSettings s = LoadDialogMarkerSettings(services_.registry, services_.state.modelKey());
    SetBoxValue(check1_[0], s.glucoseAvailable);
    SetBoxValue(check1_[1], s.insulinAvailable);

    const std::vector<ListItem> insulinTypes = InsulinTypeItems(texts);
    const std::vector<ListItem> dataTypes = DataTypeItems(texts);
    loading_ = true;
    for (int k = 0; k < 4; ++k) {
        Fill(cbType_[static_cast<std::size_t>(k)], insulinTypes);
        Fill(cbDataType_[static_cast<std::size_t>(k)], dataTypes);
    }
    loading_ = false;
    for (int k = 0; k < 4; ++k) {
        const MarkerEntry& m = s.markers[static_cast<std::size_t>(k)];
        const int index = IndexOfItemData(insulinTypes, m.insulinType);
        if (index >= 0) cbType_[static_cast<std::size_t>(k)]->setCurrentIndex(index);
        txtIG_[static_cast<std::size_t>(k)]->setText(m.description);
    }
    for (int k = 0; k < 4; ++k) {
        // Selecting raises cbDataType_Click for the row.
        const int index = IndexOfItemData(dataTypes, s.markers[static_cast<std::size_t>(k)].dataType);
        if (index >= 0) cbDataType_[static_cast<std::size_t>(k)]->setCurrentIndex(index);
    }
    txtMarker_->setText(s.comment);
    if (const auto caption = MarkerCaption(texts)) lblMarker_->setText(*caption);
    if (const auto title = InsulinColumnTitle(texts)) label1_[5]->setText(*title);
    nameControls();
}

void FrmSetupBDlogic::nameControls() {
    // A list or field is named by its row and its column title, as the captions read now.
    for (std::size_t k = 0; k < 4; ++k) {
        QLabel* row = label1_[k + 1];
        row->setBuddy(cbDataType_[k]);
        const QString prefix = row->text() + u' ';
        cbDataType_[k]->setAccessibleName(prefix + label1_[0]->text());
        cbType_[k]->setAccessibleName(prefix + label1_[5]->text());
        txtIG_[k]->setAccessibleName(prefix + label1_[6]->text());
    }
    lblMarker_->setBuddy(txtMarker_);
    txtMarker_->setAccessibleName(lblMarker_->text());
}

void FrmSetupBDlogic::Go(QWidget* host) {
    load();
    if (!host) {
        show();
        return;
    }
    const int buttonHeight = px_(kButtonHeight);
    const int buttonTop = host->height() - px_(kMargin) - buttonHeight;
    contSetup_->setParent(host);
    contSetup_->setGeometry(0, 0, host->width(), buttonTop - px_(4));
    contSetup_->show();
    auto width = [this](QPushButton* b) { return std::max(px_(96), b->sizeHint().width() + px_(12)); };
    const int right = host->width() - px_(kMargin);
    const int ok = width(cmdNext_);
    const int cancel = width(cmdCancel_);
    cmdCancel_->setParent(host);
    cmdCancel_->setGeometry(right - ok - px_(8) - cancel, buttonTop, cancel, buttonHeight);
    cmdCancel_->show();
    cmdNext_->setParent(host);
    cmdNext_->setGeometry(right - ok, buttonTop, ok, buttonHeight);
    cmdNext_->show();
    cmdNext_->setFocus();
}

void FrmSetupBDlogic::cbDataType_Click(int index) {
    if (loading_ || index < 0 || index >= 4) return;
    const QComboBox* list = cbDataType_[static_cast<std::size_t>(index)];
    const DataTypeView view = DataTypeClick(list->currentIndex(), SelectedData(list), services_.texts());
    cbType_[static_cast<std::size_t>(index)]->setVisible(view.insulinListVisible);
    if (view.description) lblDataTypeDesc_[static_cast<std::size_t>(index)]->setText(*view.description);
}

void FrmSetupBDlogic::cmdNext_Click() {
    MarkerSettings s;
    s.glucoseAvailable = BoxValue(check1_[0]);
    s.insulinAvailable = BoxValue(check1_[1]);
    for (int k = 0; k < 4; ++k) {
        MarkerEntry& m = s.markers[static_cast<std::size_t>(k)];
        m.description = txtIG_[static_cast<std::size_t>(k)]->text();
        m.dataType = SelectedData(cbDataType_[static_cast<std::size_t>(k)]);
        m.insulinType = SelectedData(cbType_[static_cast<std::size_t>(k)]);
    }
    s.comment = txtMarker_->text();
    SaveMarkerSettings(services_.registry, services_.state.modelKey(), s);
    services_.state.bSetupPending = false;
}

void FrmSetupBDlogic::cmdCancel_Click() {
    services_.state.bSetupPending = false;
}

} // namespace bdlogic
