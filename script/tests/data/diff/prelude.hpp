#include <iostream>
#include <string>
using namespace std;
typedef std::string String;
static void ShowMessage(const std::string& s) { std::cout << s << "\n"; }
static void ShowMessage(const char* s) { std::cout << s << "\n"; }
static void ShowMessage(long long v) { std::cout << v << "\n"; }
static void ShowMessage(int v) { std::cout << v << "\n"; }
static void ShowMessage(double v) { std::cout << v << "\n"; }
static std::string IntToStr(long long v) { return std::to_string(v); }
