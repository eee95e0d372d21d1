#include "app/WheelOnlyWhenFocused.h"

#include <QComboBox>
#include <QEvent>

namespace {

class WheelOnlyWhenFocused : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel) return false;
        const auto* list = qobject_cast<QComboBox*>(watched);
        if (list == nullptr || list->hasFocus()) return false;
        event->ignore(); // not for the list: the parent may take it
        return true;
    }
};

} // namespace

void ChangeByWheelOnlyWhenFocused(QComboBox* list) {
    // The wheel alone never gives the list the focus; a click or the tab key does.
    list->setFocusPolicy(Qt::StrongFocus);
    list->installEventFilter(new WheelOnlyWhenFocused(list));
}
