#pragma once
// The tool's one error type. Every problem the tool can meet (unreadable or
// malformed data, a value that cannot be computed, a bad command line) ends in
// a PopGenError whose message is a complete sentence for the user; main()
// writes it to standard error and leaves without a result file.

#include <stdexcept>
#include <string>

namespace popgen {

class PopGenError : public std::runtime_error {
 public:
  explicit PopGenError(const std::string& message) : std::runtime_error(message) {}
};

// A command line the tool does not understand; main() adds the usage text.
class UsageError : public PopGenError {
 public:
  using PopGenError::PopGenError;
};

}  // namespace popgen
