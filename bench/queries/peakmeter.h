#pragma once

// The peak resident memory of a benchmark's process, measured window by
// window.

#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <cstdio>

namespace corvane::bench {

// The high-water mark of resident memory since it was last reset.
inline double peakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

// Peak memory per window: the kernel's high-water mark is reset before each
// window is measured, and the run's peak is the highest of those.
class PeakMeter
{
public:
    // What came before (the file's generation) is not counted.
    PeakMeter() { clearPeak(); }
    void reset()
    {
        m_runPeak = std::max(m_runPeak, peakMb());
        clearPeak();
    }
    void report(const char *window)
    {
        const double peak = peakMb();
        m_runPeak = std::max(m_runPeak, peak);
        std::printf("peak resident memory with %s (target <= 150 MB): %.1f MB\n", window, peak);
    }
    double runPeak() { return std::max(m_runPeak, peakMb()); }

private:
    static void clearPeak()
    {
        QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
        if (clearRefs.open(QIODevice::WriteOnly))
            clearRefs.write("5");
    }
    double m_runPeak = 0;
};

} // namespace corvane::bench
