#pragma once

#include <QString>

#include <vector>

// Figures of one benchmark run: printed as a table for people and, with
// --json FILE, written as a list of {name, value, unit, goal}.
class CBenchReport {
public:
    CBenchReport(int argc, char** argv);
    ~CBenchReport(); // prints and writes

    // goal is a short text such as "<= 1.2" or "" when the figure is informative.
    void Add(const QString& name, double value, const QString& unit, const QString& goal = {});

private:
    struct Figure {
        QString name;
        double value;
        QString unit;
        QString goal;
    };
    std::vector<Figure> m_figures;
    QString m_strJsonPath;
};
