#pragma once
// What trx's options choose from Keywords.ini: the dialect's sections and
// the case of its keywords, and the messages about those sections.

#include <string>
#include <string_view>

#include "vocabulary.h"

// PowerBasic when the options text holds "-p" anywhere, else FreeBasic.
recasor::Dialect DialectFromOptions(std::string_view optionsText);

// Lower with "-l" (it wins over "-u"), Upper with "-u", else Mixed.
recasor::CaseMode CaseModeFromOptions(std::string_view optionsText);

using ReportRoutine = void (*)(const std::string& text);

// The keyword set the options ask for, built over the vocabulary text (which
// must outlive it). Reports the missing tags of the three sections it uses,
// in the order they are loaded: keywords, API names, constants.
recasor::KeywordSet KeywordSetForOptions(std::string_view vocabularyText, std::string_view optionsText, ReportRoutine report);
