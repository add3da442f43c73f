#include "dui/skin_archive.h"

#include <zip.h>

#include <map>

#include "platform/text.h"

namespace dui {
namespace {
// Skin files are XML and small pictures; a larger size comes from a damaged
// directory entry and must not be allocated.
constexpr zip_uint64_t kMaxMemberSize = 64u << 20;  // bytes
}  // namespace

struct SkinArchive::State {
  std::vector<uint8_t> bytes;  // libzip reads from this copy
  zip_t* archive = nullptr;
  std::map<std::string, zip_uint64_t> indexByLowerName;

  ~State() {
    if (archive) zip_discard(archive);
  }
};

SkinArchive::SkinArchive() = default;
SkinArchive::~SkinArchive() = default;

bool SkinArchive::Open(const uint8_t* data, size_t size, std::string* error) {
  state_.reset();
  if (!data || size == 0) {
    if (error) *error = "the skin archive is empty";
    return false;
  }
  auto state = std::make_unique<State>();
  state->bytes.assign(data, data + size);
  zip_error_t zipError;
  zip_error_init(&zipError);
  zip_source_t* source = zip_source_buffer_create(state->bytes.data(), state->bytes.size(), 0, &zipError);
  if (source) state->archive = zip_open_from_source(source, ZIP_RDONLY, &zipError);
  if (!state->archive) {
    if (error) *error = std::string("the skin archive cannot be read: ") + zip_error_strerror(&zipError);
    if (source) zip_source_free(source);
    zip_error_fini(&zipError);
    return false;
  }
  zip_error_fini(&zipError);
  const zip_int64_t count = zip_get_num_entries(state->archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(state->archive, static_cast<zip_uint64_t>(i), 0);
    if (name) state->indexByLowerName.emplace(platform::ToLowerAscii(name), static_cast<zip_uint64_t>(i));
  }
  state_ = std::move(state);
  return true;
}

bool SkinArchive::IsOpen() const { return state_ != nullptr; }

bool SkinArchive::Contains(const std::string& name) const {
  return state_ && state_->indexByLowerName.count(platform::ToLowerAscii(name)) != 0;
}

bool SkinArchive::Read(const std::string& name, std::vector<uint8_t>* bytes, std::string* error) const {
  if (!state_) {
    if (error) *error = "no skin archive is open";
    return false;
  }
  const auto it = state_->indexByLowerName.find(platform::ToLowerAscii(name));
  if (it == state_->indexByLowerName.end()) {
    if (error) *error = "\"" + name + "\" is not in the skin archive";
    return false;
  }
  zip_stat_t stat;
  const bool sized = zip_stat_index(state_->archive, it->second, 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE);
  if (sized && stat.size > kMaxMemberSize) {
    if (error) *error = "\"" + name + "\" claims " + std::to_string(stat.size) + " bytes in the skin archive";
    return false;
  }
  zip_file_t* file = sized ? zip_fopen_index(state_->archive, it->second, 0) : nullptr;
  if (!file) {
    if (error) *error = "\"" + name + "\" cannot be read from the skin archive";
    return false;
  }
  bytes->assign(static_cast<size_t>(stat.size), 0);
  const zip_int64_t read = stat.size ? zip_fread(file, bytes->data(), stat.size) : 0;
  zip_fclose(file);
  if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size) {
    if (error) *error = "\"" + name + "\" is damaged in the skin archive";
    bytes->clear();
    return false;
  }
  return true;
}

std::vector<std::string> SkinArchive::Names() const {
  std::vector<std::string> names;
  if (!state_) return names;
  const zip_int64_t count = zip_get_num_entries(state_->archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    if (const char* name = zip_get_name(state_->archive, static_cast<zip_uint64_t>(i), 0)) names.emplace_back(name);
  }
  return names;
}

}  // namespace dui
