#include <QApplication>
#include <QWidget>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

// A Qt warning in a test (a failed connect, a model-tester complaint) is a
// fault in the code under test, so it fails the running test.
void failOnWarning(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    const QByteArray text = message.toLocal8Bit();
    std::fprintf(stderr, "Qt message: %s\n", text.constData());
    if (::testing::UnitTest::GetInstance()->current_test_info() != nullptr)
        ADD_FAILURE() << "Qt warning: " << text.constData();
    if (type == QtFatalMsg)
        std::abort();
}

// Each widget test must close what it opened.
class NoLeftoverWindows : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo &) override
    {
        QCoreApplication::processEvents();
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible()) {
                ADD_FAILURE() << "a top-level window was left open: "
                              << w->metaObject()->className() << " "
                              << w->objectName().toStdString();
                w->close();
            }
        }
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new NoLeftoverWindows);
    qInstallMessageHandler(failOnWarning);
    return RUN_ALL_TESTS();
}
