#include "ZipTestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace ziptest {

QString program(const QString &name) { return QStandardPaths::findExecutable(name); }

int run(const QString &program, const QStringList &arguments, const QString &workingFolder, QString *output)
{
    QProcess process;
    process.setWorkingDirectory(workingFolder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return -1;
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    const QDir root(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = root.relativeFilePath(path);
        if (it.fileInfo().isDir())
            files.insert(relative + QLatin1Char('/'), QByteArray());
        else
            files.insert(relative, readFile(path));
    }
    return files;
}

QMap<QString, QByteArray> sampleTableFiles()
{
    QByteArray articles;
    for (int i = 0; i < 3000; ++i) {
        articles += "ART" + QByteArray::number(i)
            + "\tArt\xed"
              "culo n\xba "
            + QByteArray::number(i * 7919 % 1000) + "\t" + QByteArray::number(i % 13) + ",50\tNULL\t\r\n";
    }
    QByteArray binary;
    for (int i = 0; i < 70000; ++i)
        binary += char((i * 2654435761u) >> 24);
    return {
        {QStringLiteral("ControlMA.dat"),
         "Trasmision\r\n17\r\nOPERADOR\r\nC:\\ENVIAR\\ControlMA.dat\r\nEMPRESA1\r\nPRECIOS_SI\r\n"
         "V_TA_UNIDAD\r\nCODIGO | DESCRIPCION | TRANSMISION\r\n\r\n"},
        {QStringLiteral("V_TA_UNIDAD.dat"), "UN\tUnidad\t\r\nKG\tKilogramo a\xf1o\t\r\n"},
        {QStringLiteral("V_MA_ARTICULOS.dat"), articles},
        {QStringLiteral("V_MA_PRECIOS.dat"), binary},
        {QStringLiteral("TA_PAISES.dat"), QByteArray()},
    };
}

ScriptedScope::ScriptedScope()
    : script(std::make_shared<platform::ScriptedOperator>(
        [](const QString &problem) { ADD_FAILURE() << problem.toStdString(); })),
      scope(script)
{}

} // namespace ziptest
