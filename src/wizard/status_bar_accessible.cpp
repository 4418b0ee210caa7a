#include "status_bar_accessible.h"

#include <QAccessibleWidget>
#include <QLabel>

namespace bdlogic {

namespace {

constexpr char kStatusBarProperty[] = "bdlogicStatusBar";

class StatusBarAccessible final : public QAccessibleWidget {
public:
    explicit StatusBarAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StatusBar) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* StatusBarFactory(const QString&, QObject* object) {
    auto* label = qobject_cast<QLabel*>(object);
    if (label && label->property(kStatusBarProperty).toBool()) return new StatusBarAccessible(label);
    return nullptr;
}

} // namespace

void ActAsStatusBar(QLabel* label) {
    static const bool installed = [] {
        QAccessible::installFactory(StatusBarFactory);
        return true;
    }();
    (void)installed;
    label->setProperty(kStatusBarProperty, true);
}

} // namespace bdlogic
