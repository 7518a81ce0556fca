// Lines on standard error that the commands share.
#pragma once
#include <string>

// "kvrview: no category NAME (bodies, features, ...)" on standard error, for a --category that
// names none.
void SayNoSuchCategory(const std::string& name);
