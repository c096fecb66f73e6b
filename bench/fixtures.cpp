#include "fixtures.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace quadrela::bench {

QString scratchFolder()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/quadrela-bench-XXXXXX"));
    if (!folder.isValid())
        qFatal("cannot create a scratch folder for the benchmarks");
    return folder.path() + u'/';
}

QImage makePhoto(int width, int height, quint32 seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    // Shading made of one wave across and one down, so a picture costs no trigonometry
    // per pixel; the grain comes from a small linear congruential generator.
    std::vector<double> across(size_t(width), 0.0);
    std::vector<double> down(size_t(height), 0.0);
    const double fx = 6.0 + seed % 5;
    const double fy = 4.0 + seed % 7;
    for (int x = 0; x < width; ++x)
        across[size_t(x)] = std::sin(fx * 6.283 * x / width + seed);
    for (int y = 0; y < height; ++y)
        down[size_t(y)] = std::cos(fy * 6.283 * y / height);
    quint32 noise = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int v = 255 * y / height;
        for (int x = 0; x < width; ++x) {
            const int u = 255 * x / width;
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 27) - 16; // -16 .. 15
            const int wave = int(90 * across[size_t(x)] * down[size_t(y)]);
            const int edge = ((u * 23 + v * 17 + int(seed) * 40) / 64 & 3) == 0 ? 40 : 0;
            const int r = 128 + wave + u / 8 + grain + edge;
            const int g = 110 + v / 4 - wave / 2 + grain;
            const int b = 90 + (u * v) / 700 + wave / 2 - grain;
            row[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
        }
    }
    return image;
}

QString writePicture(const QImage& picture, const QString& name, int quality)
{
    const QString path = scratchFolder() + name;
    if (QFileInfo::exists(path))
        return path;
    QImageWriter writer(path);
    writer.setQuality(quality);
    if (!writer.write(picture))
        qFatal("cannot write %s: %s", qPrintable(path), qPrintable(writer.errorString()));
    return path;
}

QStringList writePhotos(const QString& prefix, int count, int width, int height, int quality)
{
    QStringList paths;
    for (int i = 1; i <= count; ++i) {
        const QString name = QStringLiteral("%1%2.jpg").arg(prefix).arg(i, 2, 10, QLatin1Char('0'));
        const QString path = scratchFolder() + name;
        paths.append(QFileInfo::exists(path)
                         ? path
                         : writePicture(makePhoto(width, height, quint32(i)), name, quality));
    }
    return paths;
}

std::optional<int> runProgram(const QStringList& command, const QStringList& extraEnvironment,
                              double timeoutSeconds)
{
    std::vector<QByteArray> argBytes;
    for (const QString& a : command)
        argBytes.push_back(QFile::encodeName(a));
    std::vector<char*> argv;
    for (QByteArray& a : argBytes)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<QByteArray> envBytes;
    for (const QString& e : extraEnvironment)
        envBytes.push_back(e.toLocal8Bit());
    std::vector<char*> envp;
    for (QByteArray& e : envBytes)
        envp.push_back(e.data());
    for (char** e = environ; *e; ++e)
        envp.push_back(*e);
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0)
        return std::nullopt;

    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (done < 0 && errno != EINTR)
            return std::nullopt;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    if (!WIFEXITED(status))
        return std::nullopt;
    return WEXITSTATUS(status);
}

void emptyFolder(const QString& folder)
{
    QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        dir.remove(name);
}

int runWithApplication(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

qint64 numberFromChild(const std::function<void(int fd)>& work)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        work(fds[1]);
        _exit(1);
    }
    close(fds[1]);
    qint64 number = -1;
    if (child < 0 || read(fds[0], &number, sizeof number) != sizeof number)
        number = -1;
    close(fds[0]);
    int status = 0;
    if (child > 0)
        waitpid(child, &status, 0);
    return number;
}

void reportAndExit(int fd, qint64 number)
{
    const ssize_t written = write(fd, &number, sizeof number);
    _exit(written == sizeof number ? 0 : 1);
}

} // namespace quadrela::bench
