#include "messages.h"

namespace {
MessageRoutine installedRoutine = nullptr;
}

void SetMessageRoutine(MessageRoutine routine) { installedRoutine = routine; }

void ReportMessage(const std::string& text)
{
    if (installedRoutine != nullptr) installedRoutine(text);
}
