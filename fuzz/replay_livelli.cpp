#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

// Replays every file of the corpus folder through the fuzz target.
int main(int argc, char **argv) {
  if (argc < 2) return 2;
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  int n = 0;
  for (const QString &nome : dir.entryList(QDir::Files)) {
    QFile f(dir.filePath(nome));
    if (!f.open(QIODevice::ReadOnly)) return 1;
    const QByteArray d = f.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(d.constData()), static_cast<std::size_t>(d.size()));
    ++n;
  }
  std::printf("%d corpus files replayed\n", n);
  return n > 0 ? 0 : 1;
}
