#include "logic/expression_evaluator.h"

#include "script/script_reader.h"

namespace orv {

namespace {

enum class Token { Number, Open, Close, Times, Plus, Minus, Divide, End, Error };

int32_t Wrap(int64_t value) { return int32_t(uint32_t(uint64_t(value))); }

// Recursive descent with one token of look-ahead. Each rule reports whether it delivered a
// value; once the token class is Error it stays so and every loop stops.
class Evaluator {
 public:
  explicit Evaluator(std::string_view text) : text_(text.substr(0, text.find('\0'))) {}

  ExpressionResult Run() {
    ExpressionResult result;
    Next();
    Expression(result.value);
    result.ok = token_ == Token::End;
    return result;
  }

 private:
  void Next() {
    if (token_ == Token::Error) return;
    if (cursor_ >= text_.size()) {
      token_ = Token::End;
      return;
    }
    const char c = text_[cursor_];
    if (c >= '0' && c <= '9') {
      uint32_t value = 0;
      while (cursor_ < text_.size() && text_[cursor_] >= '0' && text_[cursor_] <= '9')
        value = value * 10u + uint32_t(text_[cursor_++] - '0');
      number_ = int32_t(value);
      token_ = Token::Number;
      return;
    }
    ++cursor_;
    switch (c) {
      case '(': token_ = Token::Open; break;
      case ')': token_ = Token::Close; break;
      case '*': token_ = Token::Times; break;
      case '+': token_ = Token::Plus; break;
      case '-': token_ = Token::Minus; break;
      case '/': token_ = Token::Divide; break;
      default: token_ = Token::Error; break;
    }
  }

  void Fail() { token_ = Token::Error; }

  bool Expression(int32_t& value) {
    if (!Term(value)) return false;
    while (token_ == Token::Plus || token_ == Token::Minus) {
      const Token op = token_;
      Next();
      int32_t right = 0;
      if (!Term(right)) return true;  // the left operand stands
      value = Wrap(op == Token::Plus ? int64_t(value) + right : int64_t(value) - right);
    }
    return true;
  }

  bool Term(int32_t& value) {
    if (!Factor(value)) return false;
    while (token_ == Token::Times || token_ == Token::Divide) {
      const Token op = token_;
      Next();
      int32_t right = 0;
      if (!Factor(right)) return true;
      if (op == Token::Times) {
        value = Wrap(int64_t(value) * right);
      } else if (right == 0) {
        Fail();  // the dividend stands and nothing further applies
        return true;
      } else {
        value = Wrap(int64_t(value) / right);  // INT_MIN / -1 wraps instead of trapping
      }
    }
    return true;
  }

  bool Factor(int32_t& value) {
    switch (token_) {
      case Token::Number:
        value = number_;
        Next();
        return true;
      case Token::Minus:
        Next();
        if (token_ != Token::Number) {
          Fail();
          return false;
        }
        value = Wrap(-int64_t(number_));
        Next();
        return true;
      case Token::Open: {
        if (depth_ >= kMaxExpressionDepth) {
          Fail();
          return false;
        }
        ++depth_;
        Next();
        int32_t inner = 0;
        const bool delivered = Expression(inner);
        --depth_;
        if (!delivered || token_ != Token::Close) {
          Fail();
          return false;
        }
        value = inner;
        Next();
        return true;
      }
      default:
        Fail();
        return false;
    }
  }

  std::string_view text_;
  size_t cursor_ = 0;
  Token token_ = Token::End;
  int32_t number_ = 0;
  int depth_ = 0;
};

}  // namespace

ExpressionResult ExpressionEvaluator(std::string_view text) { return Evaluator(text).Run(); }

std::string BuildMathExpression(ScriptReader& reader, char lastDelimiter, const VariableLookup& lookup,
                                const std::function<void()>& onUnknownName) {
  std::string text;
  reader.SetDelimiters("=,+,-,*,/,\n,),(,;");
  for (char d = lastDelimiter; d != 0;) {
    std::string token;
    d = reader.ReadToken(token);
    if (d == '(') {
      text += '(';
      continue;
    }
    // A literal whose value is 0 is taken as a name, so the literal 0 reads as a variable.
    int32_t number = AtoiWrapping(token);
    if (number == 0) {
      if (std::optional<int32_t> value = lookup(token)) {
        number = *value;
      } else if (onUnknownName) {
        onUnknownName();
      }
    }
    text += std::to_string(number);
    if (d != 0) text += d;
  }
  return text;
}

std::string TidyMathExpression(std::string_view built) {
  std::string tidy;
  for (size_t i = 0; i < built.size() && tidy.size() < kMaxExpressionChars; ++i) {
    if (built[i] == '0' && i > 0 && built[i - 1] == ')') continue;
    tidy += built[i];
  }
  return tidy;
}

}  // namespace orv
