#pragma once
// Errors as values. A Result<T> holds a T or an Error: a kind the code can act on and a message
// for the player or the log. Result<void> says only whether something worked.
//
//   Result<Image> picture = DecodeBmp(bytes);
//   if (!picture) return picture.error();   // an Error converts to a Result of any type
//   Use(*picture);
//
// Asking a result for what it does not hold is a bug, caught by ORV_CHECK: a release build
// logs it and hands out an empty value (or an empty error), so T must be default-constructible.
#include <string>
#include <type_traits>
#include <utility>

#include "platform/check.h"

namespace orv {

enum class ErrorKind {
  NotFound,     // no such file, folder, member or entry
  Unreadable,   // it is there, but could not be read, or not read as what it must be
  Malformed,    // bytes that break their format
  TooLarge,     // a size beyond what the player accepts
  Unsupported,  // a well-formed variant this player does not handle
  BadUsage,     // a request that cannot be carried out as asked (command-line mistakes)
  Refused,      // a request the player will not carry out: a game's name that leads out of its folder
  Failed,       // the system could not do it (a full disk, a folder that cannot be made)
};

// The kind's name, for logs and test output.
const char* ErrorKindName(ErrorKind kind);

struct Error {
  ErrorKind kind = ErrorKind::Malformed;
  std::string message;
};

template <typename T>
class [[nodiscard]] Result {
  static_assert(!std::is_reference_v<T> && !std::is_same_v<std::remove_cv_t<T>, Error>);
  static_assert(std::is_default_constructible_v<T>, "an error result holds an empty value");

  template <typename U>
  static constexpr bool kIsValue = std::is_convertible_v<U&&, T> && !std::is_same_v<std::remove_cvref_t<U>, Error> &&
                                   !std::is_same_v<std::remove_cvref_t<U>, Result>;

 public:
  // Anything that converts to T converts to a result holding it.
  template <typename U = T, typename = std::enable_if_t<kIsValue<U>>>
  Result(U&& value) : value_(std::forward<U>(value)) {}          // NOLINT(google-explicit-constructor)
  Result(Error error) : error_(std::move(error)), ok_(false) {}  // NOLINT(google-explicit-constructor)

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }

  const T& value() const& {
    ExpectValue();
    return value_;
  }
  T& value() & {
    ExpectValue();
    return value_;
  }
  T value() && {
    ExpectValue();
    return std::move(value_);
  }
  const T& operator*() const& { return value(); }
  T& operator*() & { return value(); }
  T operator*() && { return std::move(*this).value(); }
  const T* operator->() const { return &value(); }
  T* operator->() { return &value(); }

  T value_or(T fallback) const& { return ok_ ? value_ : std::move(fallback); }
  T value_or(T fallback) && { return ok_ ? std::move(value_) : std::move(fallback); }

  const Error& error() const {
    ORV_CHECK(!ok_, "error() asked of a result that holds a value");
    return error_;
  }

 private:
  void ExpectValue() const { ORV_CHECK(ok_, "value() asked of a result that holds an error"); }

  T value_ = T();
  Error error_;
  bool ok_ = true;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Error error) : error_(std::move(error)), ok_(false) {}  // NOLINT(google-explicit-constructor)

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }

  const Error& error() const {
    ORV_CHECK(!ok_, "error() asked of a result that holds no error");
    return error_;
  }

 private:
  Error error_;
  bool ok_ = true;
};

}  // namespace orv
