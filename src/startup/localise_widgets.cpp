#include "localise_widgets.h"

#include "localise.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QVariant>
#include <QWidget>

#include <memory>

namespace bdlogic {

namespace {

QString TagOf(const QWidget& w) {
    return w.property(kTagProperty).toString();
}

class WidgetControl final : public LocalisableControl {
public:
    explicit WidgetControl(QWidget& w) : w_(w) {}
    QString tag() const override { return TagOf(w_); }
    bool isButton() const override { return qobject_cast<QAbstractButton*>(&w_) != nullptr; }
    void setCaption(const QString& text) override {
        if (auto* label = qobject_cast<QLabel*>(&w_))
            label->setText(text);
        else if (auto* button = qobject_cast<QAbstractButton*>(&w_))
            button->setText(text);
        else if (auto* group = qobject_cast<QGroupBox*>(&w_))
            group->setTitle(text);
    }
    void setToolTip(const QString& text) override { w_.setToolTip(text); }
    void setFontName(const QString& name) override {
        QFont f = w_.font();
        f.setFamily(name);
        w_.setFont(f);
    }

private:
    QWidget& w_;
};

class WidgetWindow final : public LocalisableWindow {
public:
    explicit WidgetWindow(QWidget& window) : window_(window) {
        for (QWidget* child : window.findChildren<QWidget*>()) {
            const QString name = child->objectName();
            if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
            controls_.push_back(std::make_unique<WidgetControl>(*child));
        }
    }
    QString tag() const override { return TagOf(window_); }
    void setCaption(const QString& text) override { window_.setWindowTitle(text); }
    std::vector<LocalisableControl*> controls() override {
        std::vector<LocalisableControl*> out;
        out.reserve(controls_.size());
        for (auto& c : controls_)
            out.push_back(c.get());
        return out;
    }

private:
    QWidget& window_;
    std::vector<std::unique_ptr<WidgetControl>> controls_;
};

} // namespace

void SetTag(QWidget* control, const QString& tag) {
    control->setProperty(kTagProperty, tag);
}

void LocaliseForm(const Language* language, QWidget& window) {
    WidgetWindow adapter(window);
    LocaliseForm(language, adapter);
}

} // namespace bdlogic
