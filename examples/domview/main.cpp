// SPDX-License-Identifier: MIT
// domview: opens the XML file named on the command line in a tree view.
//
//   domview [--expand-all] [--quit] [--timings] FILE
//
// The title shows the file's name, the status line the number of nodes and
// how long loading took. Files of more than expandAllLimit nodes open with
// only the document element expanded, so that the window comes up at once;
// --expand-all expands every row whatever the size. A file that cannot be
// loaded is reported in a message box and on standard error.
//
// --quit exits once the window has been painted (with QT_QPA_PLATFORM=offscreen
// a script can check a file that way; failures then go to standard error
// only). --timings prints to standard error when the window was first painted
// and how long the first jump to the end (the End key) took to paint.
#include "DomTreeModel.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <QtXml/QDomDocument>

#include <cstdio>

namespace {

constexpr qint64 expandAllLimit = 10000;

// Parses `path` into `document`; on failure `error` says why.
bool load(const QString &path, QDomDocument &document, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QString message;
    int line = 0;
    int column = 0;
    if (!document.setContent(&file, &message, &line, &column)) {
        error = QStringLiteral("%1:%2:%3: %4").arg(path).arg(line).arg(column).arg(message);
        return false;
    }
    return true;
}

// The nodes below `root`, attributes not counted; without recursion, as a
// file may nest deeper than the stack would allow.
qint64 countNodes(const QDomNode &root)
{
    qint64 count = 0;
    QDomNode node = root.firstChild();
    while (!node.isNull()) {
        ++count;
        if (node.hasChildNodes()) {
            node = node.firstChild();
            continue;
        }
        while (!node.isNull() && node != root && node.nextSibling().isNull())
            node = node.parentNode();
        if (node.isNull() || node == root)
            break;
        node = node.nextSibling();
    }
    return count;
}

// Watches the view's painting: notes when the window was first painted and,
// with --timings, presses End and notes when the end has been painted.
class PaintWatch : public QObject
{
public:
    PaintWatch(QTreeView *view, const QElapsedTimer &clock, bool timings, bool quit)
        : view(view)
        , clock(clock)
        , timings(timings)
        , quit(quit)
    {
        view->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        // Queued, so that the time taken includes this paint.
        if (event->type() == QEvent::Paint && stage < 2)
            QTimer::singleShot(0, this, [this, stage = stage] { painted(stage); });
        return false;
    }

private:
    void painted(int seen)
    {
        if (seen != stage)
            return;
        ++stage;
        if (stage == 1) {
            shownAt = clock.elapsed();
            if (timings)
                std::fprintf(stderr, "domview: window painted %lld ms after start\n", shownAt);
            if (!timings) {
                stage = 2;
                if (quit)
                    QCoreApplication::quit();
                return;
            }
            view->setFocus();
            QCoreApplication::postEvent(
                view, new QKeyEvent(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier));
            return;
        }
        const bool atEnd = !view->indexBelow(view->currentIndex()).isValid();
        std::fprintf(stderr, "domview: %s painted %lld ms after the End key\n",
            atEnd ? "last row" : "a row not the last", clock.elapsed() - shownAt);
        if (quit)
            QCoreApplication::quit();
    }

    QTreeView *view;
    const QElapsedTimer &clock;
    bool timings;
    bool quit;
    int stage = 0;
    qint64 shownAt = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows an XML file as a tree."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("XML file to show"));
    const QCommandLineOption expandOption(
        QStringLiteral("expand-all"), QStringLiteral("Expand every row, however large the file."));
    const QCommandLineOption quitOption(
        QStringLiteral("quit"), QStringLiteral("Exit once the window is painted."));
    const QCommandLineOption timingsOption(QStringLiteral("timings"),
        QStringLiteral("Print how long the window and a jump to the end took."));
    parser.addOptions({ expandOption, quitOption, timingsOption });
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);
    const QString path = parser.positionalArguments().constFirst();
    const bool quit = parser.isSet(quitOption);

    QElapsedTimer loading;
    loading.start();
    QDomDocument document;
    QString error;
    if (!load(path, document, error)) {
        std::fprintf(stderr, "domview: %s\n", qPrintable(error));
        if (!quit)
            QMessageBox::critical(nullptr, QStringLiteral("domview"),
                QStringLiteral("The file cannot be shown.\n\n%1").arg(error));
        return 1;
    }
    const qint64 loadMs = loading.elapsed();
    const qint64 nodes = countNodes(document);
    const bool timings = parser.isSet(timingsOption);
    if (timings)
        std::fprintf(stderr, "domview: %lld nodes loaded in %lld ms\n", nodes, loadMs);

    DomTreeModel model(document);
    QMainWindow window;
    auto *view = new QTreeView(&window);
    view->setUniformRowHeights(true);
    view->setModel(&model);
    view->header()->resizeSection(0, 280);
    if (parser.isSet(expandOption) || nodes <= expandAllLimit)
        view->expandAll();
    else
        view->expandToDepth(0);
    // A current row from the start, so that the first End or Page Down moves
    // from it rather than only selecting the first row.
    view->setCurrentIndex(model.index(0, 0));
    window.setCentralWidget(view);
    window.setWindowTitle(QStringLiteral("%1 - domview").arg(QFileInfo(path).fileName()));
    window.statusBar()->showMessage(QStringLiteral("%1 nodes, loaded in %2 s")
                                        .arg(QLocale().toString(nodes))
                                        .arg(double(loadMs) / 1000.0, 0, 'f', 2));
    window.resize(720, 540);
    PaintWatch watch(view, clock, timings, quit);
    window.show();
    return app.exec();
}
