#include <qorOrvaneUI/widgets/Ui.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace orvane {

namespace {

std::shared_ptr<Ui> &current()
{
    static std::shared_ptr<Ui> ui = std::make_shared<QtUi>();
    return ui;
}

} // namespace

Ui::~Ui() = default;

Ui &Ui::instance()
{
    return *current();
}

std::shared_ptr<Ui> Ui::install(std::shared_ptr<Ui> ui)
{
    std::shared_ptr<Ui> previous = current();
    current() = ui ? std::move(ui) : std::make_shared<QtUi>();
    return previous;
}

QString Ui::saveFileName(QWidget *, const QString &, const QString &, const QString &)
{
    return {};
}

bool Ui::choosePrinter(QWidget *, QPrinter &)
{
    return false;
}

WindowHandle handleOf(const QWidget *widget)
{
    // Handles cross the host boundary as 32-bit integers; native window ids fit.
    return widget ? static_cast<WindowHandle>(widget->winId()) : 0;
}

MsgResult Ui::msgBoxWithDefault(const QString &text, MsgButtons buttons, MsgIcon icon,
                                const QString &title, MsgResult defaultButton)
{
    Q_UNUSED(defaultButton)
    return msgBox(text, buttons, icon, title);
}

MsgResult QtUi::msgBox(const QString &text, MsgButtons buttons, MsgIcon icon, const QString &title)
{
    return msgBoxWithDefault(text, buttons, icon, title, MsgResult(0));
}

MsgResult QtUi::msgBoxWithDefault(const QString &text, MsgButtons buttons, MsgIcon icon,
                                  const QString &title, MsgResult defaultButton)
{
    QMessageBox box;
    box.setText(text);
    box.setWindowTitle(title.isEmpty() ? QString::fromUtf16(DefaultMsgTitle) : title);
    switch (icon) {
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::None:
        break;
    }
    QMessageBox::StandardButtons set;
    switch (buttons) {
    case MsgButtons::OK:
        set = QMessageBox::Ok;
        break;
    case MsgButtons::OKCancel:
        set = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case MsgButtons::AbortRetryIgnore:
        set = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        break;
    case MsgButtons::YesNoCancel:
        set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    case MsgButtons::YesNo:
        set = QMessageBox::Yes | QMessageBox::No;
        break;
    case MsgButtons::RetryCancel:
        set = QMessageBox::Retry | QMessageBox::Cancel;
        break;
    }
    box.setStandardButtons(set);
    switch (defaultButton) {
    case MsgResult::OK:
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case MsgResult::Cancel:
        box.setDefaultButton(QMessageBox::Cancel);
        break;
    case MsgResult::Abort:
        box.setDefaultButton(QMessageBox::Abort);
        break;
    case MsgResult::Retry:
        box.setDefaultButton(QMessageBox::Retry);
        break;
    case MsgResult::Ignore:
        box.setDefaultButton(QMessageBox::Ignore);
        break;
    case MsgResult::Yes:
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case MsgResult::No:
        box.setDefaultButton(QMessageBox::No);
        break;
    default:
        break; // the message box's own choice
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MsgResult::OK;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Abort:
        return MsgResult::Abort;
    case QMessageBox::Retry:
        return MsgResult::Retry;
    case QMessageBox::Ignore:
        return MsgResult::Ignore;
    default:
        return MsgResult::Cancel;
    }
}

int QtUi::showModal(QDialog *dialog)
{
    return dialog ? dialog->exec() : 0;
}

void QtUi::doEvents()
{
    QCoreApplication::processEvents();
}

QRect QtUi::windowRect(WindowHandle handle)
{
    if (handle == 0)
        return {};
    if (const QWidget *w = QWidget::find(static_cast<WId>(static_cast<std::uint32_t>(handle))))
        return w->window()->frameGeometry();
    return {};
}

QSize QtUi::screenSize()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return screen->size();
    return {};
}

QRect QtUi::screenArea()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return screen->availableGeometry();
    return {};
}

QString QtUi::saveFileName(QWidget *parent, const QString &caption, const QString &suggestedPath,
                           const QString &filter)
{
    const QFileInfo suggested(suggestedPath);
    QFileDialog dialog(parent, caption, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (suggested.dir().exists())
        dialog.setDirectory(suggested.absolutePath());
    dialog.selectFile(suggested.fileName());
    // A name typed without an extension gets the suggested one, and the
    // dialog asks before replacing a file of that full name.
    dialog.setDefaultSuffix(suggested.suffix());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool QtUi::choosePrinter(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace orvane
