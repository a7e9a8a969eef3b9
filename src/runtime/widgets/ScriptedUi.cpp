#include <qorOrvaneUI/widgets/ScriptedUi.h>

#include <QCoreApplication>
#include <QDialog>

#include <stdexcept>

namespace orvane::test {

namespace {

MsgResult firstButton(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OK:
    case MsgButtons::OKCancel:
        return MsgResult::OK;
    case MsgButtons::AbortRetryIgnore:
        return MsgResult::Abort;
    case MsgButtons::YesNoCancel:
    case MsgButtons::YesNo:
        return MsgResult::Yes;
    case MsgButtons::RetryCancel:
        return MsgResult::Retry;
    }
    return MsgResult::OK;
}

} // namespace

MsgResult ScriptedUi::msgBox(const QString &text, MsgButtons buttons, MsgIcon icon,
                             const QString &title)
{
    return msgBoxWithDefault(text, buttons, icon, title, firstButton(buttons));
}

MsgResult ScriptedUi::msgBoxWithDefault(const QString &text, MsgButtons buttons, MsgIcon icon,
                                        const QString &title, MsgResult defaultButton)
{
    // An unscripted box is answered as Enter would answer it.
    MsgResult result = defaultButton;
    if (!answers_.empty()) {
        result = answers_.front();
        answers_.pop_front();
    }
    boxes_.push_back({text, buttons, icon,
                      title.isEmpty() ? QString::fromUtf16(DefaultMsgTitle) : title, result,
                      defaultButton});
    return result;
}

int ScriptedUi::showModal(QDialog *dialog)
{
    dialogs_.push_back(dialog ? dialog->objectName() : QString());
    if (!dialog)
        return 0;
    if (scripts_.empty())
        throw std::logic_error("a dialog was shown modally with no script to play it");
    DialogScript script = std::move(scripts_.front());
    scripts_.pop_front();
    dialog->setModal(true);
    dialog->show();
    QCoreApplication::processEvents();
    script(dialog);
    QCoreApplication::processEvents();
    dialog->hide();
    return dialog->result();
}

void ScriptedUi::doEvents()
{
    ++doEvents_;
    QCoreApplication::processEvents();
}

QRect ScriptedUi::windowRect(WindowHandle handle)
{
    const auto it = windows_.find(handle);
    return it == windows_.end() ? QRect() : it->second;
}

QSize ScriptedUi::screenSize()
{
    return screen_;
}

QString ScriptedUi::saveFileName(QWidget *, const QString &caption, const QString &suggestedPath,
                                 const QString &filter)
{
    fileAsks_.push_back({caption, suggestedPath, filter});
    if (fileNames_.empty())
        return {};
    QString path = fileNames_.front();
    fileNames_.pop_front();
    return path;
}

bool ScriptedUi::choosePrinter(QWidget *, QPrinter &printer)
{
    ++printersAsked_;
    if (printers_.empty())
        return false;
    PrinterScript script = std::move(printers_.front());
    printers_.pop_front();
    return script(printer);
}

void ScriptedUi::clear()
{
    fileNames_.clear();
    fileAsks_.clear();
    printers_.clear();
    printersAsked_ = 0;
    answers_.clear();
    scripts_.clear();
    boxes_.clear();
    dialogs_.clear();
    doEvents_ = 0;
}

ScopedScriptedUi::ScopedScriptedUi()
    : ui_(std::make_shared<ScriptedUi>()), previous_(Ui::install(ui_))
{
}

ScopedScriptedUi::~ScopedScriptedUi()
{
    Ui::install(previous_);
}

} // namespace orvane::test
