#pragma once

// The program's fixed names and the maker's addresses, in one place.
namespace AppInfo {
inline constexpr const char* title = "Hydrant Flow Test";
inline constexpr const char* mainCaption = "Ostrel Hydrant Flow Test 2.0";
inline constexpr const char* supportMail = FLOWTEST_SUPPORT_MAIL;
inline constexpr const char* webHost = FLOWTEST_WEB_HOST;
inline constexpr const char* webAddress = "http://" FLOWTEST_WEB_HOST;
} // namespace AppInfo
