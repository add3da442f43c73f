#pragma once
// A skin archive: a ZIP file held in memory (libzip), whose member names
// match without regard to case ("Caption.xml" finds "caption.xml").

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dui {

class SkinArchive {
 public:
  SkinArchive();
  ~SkinArchive();
  SkinArchive(const SkinArchive&) = delete;
  SkinArchive& operator=(const SkinArchive&) = delete;

  // Opens the archive over a copy of the bytes; false (with the reason in
  // `error`) for data that is not a readable ZIP archive.
  bool Open(const uint8_t* data, size_t size, std::string* error = nullptr);
  bool IsOpen() const;
  bool Contains(const std::string& name) const;
  // The member's bytes; false when it is missing or unreadable.
  bool Read(const std::string& name, std::vector<uint8_t>* bytes, std::string* error = nullptr) const;
  // Member names as stored, in archive order.
  std::vector<std::string> Names() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace dui
