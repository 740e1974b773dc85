// domview: opens the XML file named on the command line in a tree view.
//
//   domview FILE
//
// Runs anywhere a Qt GUI can; QT_QPA_PLATFORM=offscreen with --quit shows the
// tree without a screen and exits, which is how a script can check a file.
#include "DomTreeModel.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QHeaderView>
#include <QTimer>
#include <QTreeView>
#include <QtXml/QDomDocument>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows an XML file as a tree."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("XML file to show"));
    const QCommandLineOption quitOption(
        QStringLiteral("quit"), QStringLiteral("Exit once the tree is shown."));
    parser.addOption(quitOption);
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    QFile file(parser.positionalArguments().constFirst());
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "domview: %s\n", qPrintable(file.errorString()));
        return 1;
    }
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    if (!document.setContent(&file, &message, &line, &column)) {
        std::fprintf(stderr, "domview: %s:%d:%d: %s\n", qPrintable(file.fileName()), line, column,
            qPrintable(message));
        return 1;
    }

    DomTreeModel model(document);
    QTreeView view;
    view.setModel(&model);
    view.expandAll();
    view.header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view.setWindowTitle(file.fileName());
    view.resize(640, 480);
    view.show();
    if (parser.isSet(quitOption))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
