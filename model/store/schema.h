#pragma once

#include <filesystem>
#include <string>

#include "store/database.h"

namespace vpl::store {

// The data file beside the executable and the key it is encrypted with.
inline constexpr const char* kDataFileName = "VPLData.mdb";
inline constexpr const char* kDatabaseKey = "Vondrake";
// The data file's own version (Parametro.versaoBD), not the program's.
inline constexpr const char* kDeliveredVersion = "2022.01";

inline constexpr int kFactorSlots = 8;
inline constexpr int kPropositionRows = 99;  // the rows of each proposition table
inline constexpr int kLikertSampleRows = 80;
inline constexpr int kLikertPoints = 5;  // the answer counts of a proposition, N01 .. N05
inline constexpr int kParticipants = 8;  // the participant names of the registration

// "Prop1" .. "Prop8".
std::string propositionTable(int factor);
// "N01" .. "N05".
std::string likertField(int point);
// "Participante1" .. "Participante8".
std::string participantField(int participant);

// Creates every table of the data file.
void createSchema(Database& db);
// Writes every row the program will use, with the delivered contents.
void writeDeliveredRows(Database& db);
// Creates a new data file with the schema and the delivered rows.
void createDeliveredFile(const std::filesystem::path& file, const std::string& key = kDatabaseKey);

}  // namespace vpl::store
