// Problems found while loading, for the reports of `kvrview --check`. Each is reported where it
// is found, next to its log line when it has one; some (a listed file that is no PIE model, an
// unknown label) have none. Nothing is kept unless a collector is installed, so the viewer pays
// one test of a pointer for each.
#pragma once
#include <string>
#include <string_view>
#include <vector>

struct Problem {
  std::string path;     // the file it concerns, as the data set names it (or a model's name)
  std::string message;  // what is wrong with it, one line
};

// Keeps what is reported in problems from now on; null stops keeping. The problems kept hold at
// most kMaxProblemBytes of paths and messages; those past it are only counted.
void CollectProblems(std::vector<Problem>* problems);
void ReportProblem(std::string_view path, std::string_view message);
// How many problems were reported past the ceiling since the collector was installed.
size_t ProblemsNotKept();

// Called for each model the category loaders are about to load: which category, how many of its
// list are done, how many it lists. Null when nobody follows the load.
extern void (*ModelLoadProgress)(const char* category, size_t done, size_t listed);
