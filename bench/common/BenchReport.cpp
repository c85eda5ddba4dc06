#include "BenchReport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <cstring>

CBenchReport::CBenchReport(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--json") == 0)
            m_strJsonPath = QString::fromLocal8Bit(argv[i + 1]);
}

void CBenchReport::Add(const QString& name, double value, const QString& unit, const QString& goal) {
    m_figures.push_back({name, value, unit, goal});
    std::printf("  %-58s %12.3f %-6s %s\n", qPrintable(name), value, qPrintable(unit),
                qPrintable(goal));
    std::fflush(stdout);
}

CBenchReport::~CBenchReport() {
    if (m_strJsonPath.isEmpty())
        return;
    QJsonArray list;
    for (const Figure& f : m_figures)
        list.append(QJsonObject{{"name", f.name}, {"value", f.value}, {"unit", f.unit}, {"goal", f.goal}});
    QFile file(m_strJsonPath);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QJsonDocument(list).toJson());
}
