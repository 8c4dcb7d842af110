// Runs every input of a seed folder once through a fuzz target, so that each test run checks the
// target's properties on the committed corpus, without libFuzzer and with any compiler.
#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char* argv[]) {
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(SEED_FOLDER);
    int inputs = 0;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
        QFile seed(file.filePath());
        if (!seed.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(file.filePath()));
            return 1;
        }
        const QByteArray bytes = seed.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                               static_cast<std::size_t>(bytes.size()));
        ++inputs;
    }
    std::printf("%d inputs from %s\n", inputs, qPrintable(folder));
    return inputs > 0 ? 0 : 1;  // an empty or missing folder checks nothing
}
