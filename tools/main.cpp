// imaestros-sample <archive.zip> [--articles N] [--prices N] [--rows N] [--seed N] [--origin DB]:
// writes a sample transmission package of every table (see SamplePackage.h).

#include "SamplePackage.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

int usage(QTextStream &err)
{
    err << "uso: imaestros-sample <Archivos.zip> [--articles N] [--prices N] [--rows N] [--seed N] "
           "[--origin BASE]\n";
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help"))
        return args.isEmpty() ? usage(err) : (usage(err), 0);
    samplepackage::Options options;
    const QString archive = args.takeFirst();
    while (args.size() >= 2) {
        const QString key = args.takeFirst();
        const QString value = args.takeFirst();
        bool ok = true;
        if (key == QLatin1String("--articles"))
            options.articles = value.toInt(&ok);
        else if (key == QLatin1String("--prices"))
            options.pricesPerArticle = value.toInt(&ok);
        else if (key == QLatin1String("--rows"))
            options.rowsPerSmallTable = value.toInt(&ok);
        else if (key == QLatin1String("--seed"))
            options.seed = value.toInt(&ok);
        else if (key == QLatin1String("--origin"))
            options.origin = value;
        else
            ok = false;
        if (!ok)
            return usage(err);
    }
    if (!args.isEmpty())
        return usage(err);
    const platform::Status made = samplepackage::generate(archive, options);
    if (!made.ok()) {
        err << "imaestros-sample: " << made.message() << "\n";
        return 1;
    }
    return 0;
}
