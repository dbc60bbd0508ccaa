// Product-flavoured English for the placeholders: help topics, program
// messages, function and keyword names.
#pragma once

#include "tools/payload/bytes.h"

#include <string>

std::string Sentence(Random& random);
std::string TopicTitle(Random& random);
std::string Keyword(Random& random);
std::string ProgramMessage(Random& random);
std::string ImportName(Random& random);
