#pragma once

#include "platform/failure.h"

#include <QPixmap>
#include <QWidget>
#include <optional>

class QCheckBox;
class QComboBox;

// The program's one window. Its controls carry their names as object names.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void Command1_Click();
    void Combo1_Change();
    void Command3_Click();
    void Command2_Click();

    std::optional<Failure> WriteLocaleIni();

    QPixmap m_background;
    QCheckBox *Check1 = nullptr;
    QComboBox *Combo4 = nullptr;
};
