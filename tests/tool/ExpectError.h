#pragma once
// Checks that a call throws a given error type whose message holds a given text.

#include <gtest/gtest.h>

#include <string>

namespace brume::test {

template <typename Error, typename Call>
::testing::AssertionResult throwsWith(Call&& call, const std::string& expectedText) {
  try {
    call();
  } catch (const Error& error) {
    const std::string message = error.what();
    if (message.find(expectedText) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the message \"" << message << "\" lacks \"" << expectedText << "\"";
  } catch (const std::exception& error) {
    return ::testing::AssertionFailure() << "threw another error type: " << error.what();
  }
  return ::testing::AssertionFailure() << "threw nothing; expected an error with \"" << expectedText << "\"";
}

}  // namespace brume::test
