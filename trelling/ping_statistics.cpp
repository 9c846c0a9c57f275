#include "ping_statistics.h"

#include <limits>

qint32 roundHalfToEven(qint64 numerator, qint64 denominator)
{
    if (denominator == 0)
        return 0;
    qint64 quotient = numerator / denominator;
    const qint64 twiceRemainder = 2 * (numerator % denominator);
    if (twiceRemainder > denominator || (twiceRemainder == denominator && quotient % 2 != 0))
        ++quotient;
    return qint32(quotient);
}

bool recordResult(PingStatistics& statistics, int result)
{
    constexpr qint64 Max = std::numeric_limits<qint32>::max();
    const bool answered = result >= 0;
    PingStatistics next = statistics;
    if (qint64(next.attempts) + 1 > Max)
        return answered;
    next.attempts += 1;
    if (!answered) {
        if (qint64(next.lost) + 1 > Max)
            return false;
        next.lost += 1;
    } else {
        if (qint64(next.responses) + 1 > Max || qint64(next.total) + result > Max)
            return true;
        next.responses += 1;
        next.total += result;
        if (next.best == 0)
            next.best = result;
        if (next.worst == 0)
            next.worst = result;
        if (result > next.worst)
            next.worst = result;
        if (result < next.best)
            next.best = result;
        next.average = roundHalfToEven(next.total, next.responses);
    }
    statistics = next;
    return answered;
}

QString timeText(qint32 milliseconds)
{
    return milliseconds >= 10 ? QString::number(milliseconds) : QStringLiteral("<10");
}

QString progressText(bool answered, bool pingNotAborted)
{
    if (answered)
        return QStringLiteral("Processing...");
    return pingNotAborted ? QStringLiteral("Request timed out...") : QStringLiteral("Abort...");
}
