#include "cli/Answers.h"

Answers::Kind Answers::of(const QByteArray& line) {
    if (line.startsWith("Ok"))
        return Kind::Done;
    if (line.startsWith("Error"))
        return Kind::Refused;
    return Kind::None;
}
