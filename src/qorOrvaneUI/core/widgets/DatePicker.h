#pragma once

#include <QCheckBox>
#include <QDateTime>
#include <QWidget>

class QDateEdit;

namespace orvane::ui {

// A date picker whose check box can leave the date empty.
class dtePicker : public QWidget {
    Q_OBJECT
public:
    explicit dtePicker(QWidget *parent = nullptr);

    bool isEmpty() const;
    void clear();
    QDateTime value() const;
    void setValue(const QDateTime &value);

    QCheckBox *chkSet;
    QDateEdit *edit;

Q_SIGNALS:
    // The user left the picker (focus went outside it).
    void left();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTime time_;
    bool dated_ = false; // a date was given since the picker was made
};

} // namespace orvane::ui

namespace orvane::ui {

// A three-state box the user answers with a click (checked or not); only the
// view puts it back to "not answered yet".
class AnswerBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override
    {
        setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
};

// Red or black text, as the views mark what is still to be answered.
void setRed(QWidget *w, bool red);

} // namespace orvane::ui
