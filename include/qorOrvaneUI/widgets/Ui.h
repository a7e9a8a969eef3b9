#pragma once

#include <qorOrvaneUI/runtime/WindowHandle.h>

#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

class QDialog;
class QPrinter;
class QWidget;

namespace orvane {

// Message box buttons and answers, numbered as the callers' runtime numbers them.
enum class MsgButtons {
    OK = 0,
    OKCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5
};
enum class MsgIcon { None = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
enum class MsgResult { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// The library's default title for a message box without one of its own.
inline constexpr const char16_t *DefaultMsgTitle = u"qorOrvaneUI";

// Everything the library asks of the desktop goes through this service, so a
// test can answer message boxes and play the user in a modal dialog.
class Ui {
public:
    virtual ~Ui();

    virtual MsgResult msgBox(const QString &text, MsgButtons buttons = MsgButtons::OK,
                             MsgIcon icon = MsgIcon::None, const QString &title = QString()) = 0;
    // As msgBox, with the button that Enter presses: a question whose Yes
    // destroys something defaults to No. A Ui that cannot set a default asks
    // as msgBox does.
    virtual MsgResult msgBoxWithDefault(const QString &text, MsgButtons buttons, MsgIcon icon,
                                        const QString &title, MsgResult defaultButton);
    // Shows the dialog modally; returns the dialog's result code.
    virtual int showModal(QDialog *dialog) = 0;
    // Lets pending user-interface events run.
    virtual void doEvents() = 0;
    // A window's rectangle in screen pixels; an unknown handle gives an empty rectangle.
    virtual QRect windowRect(WindowHandle handle) = 0;
    virtual QSize screenSize() = 0;
    // The part of the screen a window may cover (without task bars), in
    // screen pixels; by default the whole screen.
    virtual QRect screenArea() { return QRect(QPoint(0, 0), screenSize()); }
    // Asks where to save a file, offering `suggestedPath`; an empty result
    // means the user cancelled. A Ui without a desktop always cancels.
    virtual QString saveFileName(QWidget *parent, const QString &caption,
                                 const QString &suggestedPath, const QString &filter);
    // Lets the user choose and set up `printer`; false when the user
    // cancelled. A Ui without a desktop always cancels.
    virtual bool choosePrinter(QWidget *parent, QPrinter &printer);

    static Ui &instance();
    // Installs another implementation (tests); returns the one it replaces.
    static std::shared_ptr<Ui> install(std::shared_ptr<Ui> ui);
};

// The desktop implementation: QMessageBox, QDialog::exec, QFileDialog,
// QPrintDialog and the primary screen.
class QtUi : public Ui {
public:
    MsgResult msgBox(const QString &text, MsgButtons buttons, MsgIcon icon,
                     const QString &title) override;
    MsgResult msgBoxWithDefault(const QString &text, MsgButtons buttons, MsgIcon icon,
                                const QString &title, MsgResult defaultButton) override;
    int showModal(QDialog *dialog) override;
    void doEvents() override;
    QRect windowRect(WindowHandle handle) override;
    QSize screenSize() override;
    QRect screenArea() override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &suggestedPath,
                         const QString &filter) override;
    bool choosePrinter(QWidget *parent, QPrinter &printer) override;
};

// The handle a widget is known by across the host boundary.
WindowHandle handleOf(const QWidget *widget);

} // namespace orvane
