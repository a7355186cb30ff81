#include "platform/qt/lazycontrol.h"

#include <QFocusEvent>

LazyControl::LazyControl(QWidget *parent, const QString &name, const QRect &geometry, Factory make)
    : QWidget(parent), m_make(std::move(make))
{
    setObjectName(name);
    setGeometry(geometry);
    setFocusPolicy(Qt::StrongFocus);
}

void LazyControl::focusInEvent(QFocusEvent *event)
{
    QWidget *control = m_make(parentWidget());
    control->setObjectName(objectName());
    control->setAccessibleName(accessibleName());
    control->setGeometry(geometry());
    control->show();
    setTabOrder(this, control);
    setObjectName(QString());
    setFocusPolicy(Qt::NoFocus);
    control->setFocus(event->reason());
    hide();
}
