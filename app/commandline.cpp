#include "app/commandline.h"

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    for (const QString &arg : arguments) {
        if (arg == QLatin1String("--tray"))
            line.tray = true;
        else if (arg == QLatin1String("--version") || arg == QLatin1String("-v"))
            line.version = true;
        else if (arg == QLatin1String("--help") || arg == QLatin1String("-h"))
            line.help = true;
        else if (line.error.isEmpty())
            line.error = QStringLiteral("Bilinmeyen secenek: ") + arg;
    }
    return line;
}

QString commandLineHelp()
{
    return QStringLiteral("Kullanim: mireloplus [secenekler]\n"
                          "\n"
                          "Secenekler:\n"
                          "  --tray       pencereyi gostermeden tepside basla\n"
                          "  --version    surumu yaz ve cik\n"
                          "  --help       bu yardimi yaz ve cik\n"
                          "\n"
                          "Program zaten calisiyorsa yeni baslatma acik olan pencereyi one getirir.\n");
}
