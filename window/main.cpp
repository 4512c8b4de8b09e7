// kesto-window: the window process. It shows the main window with the HTML pages and the
// lists over them, and the modal HTML dialogs, as the tray process commands over standard
// input, and reports what the user does on standard output. It holds no behaviour of the
// system and no state that matters: the tray process replays everything into a new one.
#include "qt/ResourceFiles.h"
#include "window/CommandChannel.h"
#include "window/WindowController.h"
#if KESTO_WINDOW_TEST_HOOKS
#include "window/testing/TestHooks.h"
#endif

#include <QApplication>
#include <QLoggingCategory>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    // A write to a tray process that has gone reports an error instead of killing us.
    std::signal(SIGPIPE, SIG_IGN);
    // The page engine refuses to sandbox its renderers when run as root.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");

    // Events go out on a private copy of standard output; standard output itself is
    // pointed at standard error, so that whatever a library prints stays out of the
    // message stream.
    const int eventsFd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (eventsFd < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        std::perror("kesto-window: standard output");
        return 1;
    }

    // The pages are small and still: Qt Quick's software renderer draws the web view, and
    // without OpenGL the X11 connection need not load the OpenGL stack and its driver; some
    // 80 MB less for the window's processes (bench/window_open.sh). A QT_QUICK_BACKEND the
    // user set still decides.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) {
        qputenv("QT_QUICK_BACKEND", "software");
        if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION"))
            qputenv("QT_XCB_GL_INTEGRATION", "none");
    }
    // The engine describes its graphics set-up at length on every start.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("kesto-window"));

    const QString resourceDir = kesto::FindResourceDir();
    if (resourceDir.isEmpty()) {
        std::fprintf(stderr, "kesto-window: cannot find the resources folder\n");
        return 1;
    }

    kesto::CommandChannel channel(STDIN_FILENO, eventsFd);
    // exit(), not quit(): quit() first asks the windows to close, and the main window
    // refuses (closing is the tray process's decision).
    channel.onClosed = [] { QCoreApplication::exit(0); };
    kesto::WindowController controller(resourceDir, channel);

#if KESTO_WINDOW_TEST_HOOKS
    const kesto::TestHooks hooks = kesto::StartTestHooks(controller);
#else
    if (qEnvironmentVariableIsSet("KESTO_TEST_DRIVER") ||
        qEnvironmentVariableIsSet("KESTO_SCREENSHOTS"))
        std::fprintf(stderr, "kesto-window: built without the test hooks; ignoring "
                             "KESTO_TEST_DRIVER and KESTO_SCREENSHOTS\n");
#endif

    return app.exec();
}
