// The statistics of a ping run and the texts the window shows for them.
#pragma once

#include <QString>
#include <QtGlobal>

struct PingStatistics {
    qint32 attempts = 0;  // echo requests made in this run
    qint32 responses = 0; // echo requests answered
    qint32 lost = 0;      // echo requests not answered
    qint32 best = 0;      // shortest round-trip time in ms; 0: none yet
    qint32 worst = 0;     // longest round-trip time in ms; 0: none yet
    qint32 average = 0;   // total / responses, a half to the even neighbour
    qint32 total = 0;     // sum of the answered round-trip times in ms

    bool operator==(const PingStatistics&) const = default;
};

// numerator / denominator rounded to the nearest integer, a half going to
// the even neighbour; 0 for a denominator of 0. For non-negative operands.
qint32 roundHalfToEven(qint64 numerator, qint64 denominator);

// Counts one echo: its round-trip time in milliseconds, or a negative value
// (-1) when it was not answered. Returns true when it was answered. An echo
// that would carry any counter past 2147483647 is not counted at all, so
// the figures of a very long run stay consistent with each other.
bool recordResult(PingStatistics& statistics, int result);

// A best, worst or average time as shown: decimal from 10 on, "<10" below.
QString timeText(qint32 milliseconds);

// The status text after an echo: "Processing..." when it was answered,
// otherwise "Request timed out..." while the run was not aborted, else
// "Abort...".
QString progressText(bool answered, bool pingNotAborted);
