// Packing a project of twenty photos (about 40 MB) into an archive and unpacking it again,
// against the zip and unzip programs doing the same with the same files.
#include "fixtures.h"
#include "zip/archive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>

namespace {

using namespace quadrela;

// 20 photos of about 2 MB each.
const QStringList& projectFiles()
{
    static const QStringList files = bench::writePhotos(QStringLiteral("pack"), 20, 2280, 1710, 95);
    return files;
}

const QString& packedArchive()
{
    static const QString path = [] {
        const QString archive = bench::scratchFolder() + QStringLiteral("unpack-source.vimel");
        PackArchive(archive, projectFiles());
        return archive;
    }();
    return path;
}

QString unpackFolder(const QString& name)
{
    const QString folder = bench::scratchFolder() + name + u'/';
    QDir().mkpath(folder);
    return folder;
}

void setBytes(benchmark::State& state)
{
    qint64 total = 0;
    for (const QString& f : projectFiles())
        total += QFileInfo(f).size();
    state.SetBytesProcessed(qint64(state.iterations()) * total);
}

void BM_PackArchive(benchmark::State& state)
{
    const QStringList files = projectFiles();
    const QString out = bench::scratchFolder() + QStringLiteral("ours.vimel");
    for (auto _ : state) {
        QFile::remove(out);
        PackArchive(out, files);
    }
    setBytes(state);
}

void BM_ZipCommand(benchmark::State& state)
{
    const QString out = bench::scratchFolder() + QStringLiteral("peer.zip");
    const QStringList command = QStringList{QStringLiteral("zip"), QStringLiteral("-6"),
                                            QStringLiteral("-q"), QStringLiteral("-j"), out} +
                                projectFiles();
    for (auto _ : state) {
        QFile::remove(out);
        if (bench::runProgram(command) != 0) {
            state.SkipWithError("zip failed");
            break;
        }
    }
    setBytes(state);
}

void BM_UnpackArchive(benchmark::State& state)
{
    const QString archive = packedArchive();
    const QString folder = unpackFolder(QStringLiteral("ours-unpacked"));
    for (auto _ : state) {
        state.PauseTiming();
        bench::emptyFolder(folder);
        state.ResumeTiming();
        UnpackArchive(archive, folder);
    }
    setBytes(state);
}

void BM_UnzipCommand(benchmark::State& state)
{
    const QString archive = packedArchive();
    const QString folder = unpackFolder(QStringLiteral("peer-unpacked"));
    const QStringList command{QStringLiteral("unzip"), QStringLiteral("-q"), QStringLiteral("-o"),
                              archive, QStringLiteral("-d"), folder};
    for (auto _ : state) {
        state.PauseTiming();
        bench::emptyFolder(folder);
        state.ResumeTiming();
        if (bench::runProgram(command) != 0) {
            state.SkipWithError("unzip failed");
            break;
        }
    }
    setBytes(state);
}

} // namespace

BENCHMARK(BM_PackArchive)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZipCommand)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UnpackArchive)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UnzipCommand)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    return quadrela::bench::runWithApplication(argc, argv);
}
