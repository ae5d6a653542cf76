#include "platform/Logger.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>

#include <unistd.h>

using platform::logger;

namespace {

// The device that takes an open and refuses every byte, as a full disk does (never a file
// of that name: it would be written).
bool fullDeviceHere()
{
    struct stat info {};
    return ::stat("/dev/full", &info) == 0 && S_ISCHR(info.st_mode);
}

// Standard error of this process, caught into a file while it lives.
class CapturedStderr {
public:
    CapturedStderr() : m_file(m_dir.filePath(QStringLiteral("stderr.txt")))
    {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        FILE *out = std::fopen(QFile::encodeName(m_file).constData(), "w");
        ::dup2(::fileno(out), STDERR_FILENO);
        std::fclose(out);
    }
    ~CapturedStderr() { restore(); }
    QString text()
    {
        restore();
        QFile file(m_file);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }

    QTemporaryDir m_dir;
    QString m_file;
    int m_saved = -1;
};

} // namespace

TEST(Logger, ALogThatCannotBeWrittenIsSaidOnceOnStandardError)
{
    if (!fullDeviceHere())
        GTEST_SKIP() << "/dev/full is not the full device here";
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("imaestros.log"));
    QString said;
    {
        CapturedStderr captured;
        ASSERT_TRUE(logger().setFile(QStringLiteral("/dev/full")).ok()); // opens: the disk is full, not closed
        logger().info(QStringLiteral("primera línea"));
        logger().info(QStringLiteral("segunda línea"));
        ASSERT_TRUE(logger().setFile(good).ok());
        logger().info(QStringLiteral("tercera línea"));
        said = captured.text();
    }
    logger().setFile(QString()).ok();

    EXPECT_EQ(said.count(QStringLiteral("No se puede escribir el registro /dev/full")), 1) << said.toStdString();
    EXPECT_FALSE(said.contains(QStringLiteral("línea"))) << "info lines stay out of standard error";
    QFile log(good);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("tercera l"));
}
