#pragma once
// Pieces of the removal log as the console saves it, for the tests that compare a whole log byte
// for byte.

#include <string>

#include "tests/e2e/e2e_support.hpp"

namespace zelvane::e2e {

inline const std::string kRtfHead =
    R"({\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl{\f0\fnil\fcharset0 Times New Roman;}})" + kCrLf +
    R"({\colortbl ;\red0\green0\blue0;\red128\green0\blue0;\red0\green128\blue0;\red128\green128\blue0;\red0\green0\blue128;\red128\green0\blue128;\red0\green128\blue128;\red128\green128\blue128;\red192\green192\blue192;\red255\green0\blue0;\red0\green255\blue0;\red255\green255\blue0;\red0\green0\blue255;\red255\green0\blue255;\red0\green255\blue255;\red255\green255\blue255;})" +
    kCrLf + R"(\viewkind4\uc1\pard\cf1\f0\fs24 )";

inline const std::string kPar = "\\par" + kCrLf;
inline const std::string kThreePars = kPar + kPar + kPar;
inline const std::string kBanner =
    kThreePars + R"(\cf3\b\fs32 All files in file list successfully removed.\cf1\b0\fs24\par)" + kCrLf + kThreePars;
inline const std::string kFyi =
    kPar + kPar +
    R"(\cf10\b\fs32 FYI:\fs28  \b0  \ul Prompt Failure\ulnone  means you were going to be )"
    R"(prompted to make a decision but you weren't for the reason specified.\cf1\fs24\par)" +
    kCrLf;

// The head of the log up to the first entry: the game and the two folders as the log shows them.
inline std::string LogHeader(int gameNumber, const std::string& gameDisplay, const std::string& appDisplay) {
    return kRtfHead + "\\cf6\\b Game is K" + std::to_string(gameNumber) + "\\cf1\\b0\\par" + kCrLf +
           "\\cf6\\b Game Directory Is: " + gameDisplay + "\\cf1\\b0\\par" + kCrLf +
           "\\cf6\\b App Directory Is: " + appDisplay + "\\cf1\\b0\\par" + kCrLf + kPar + kPar;
}

// The counts and the end of the log.
inline std::string Totals(int errors, int notFound) {
    return kPar + kPar + "\\cf6\\b " + std::to_string(errors) + " errors.\\b0\\par" + kCrLf + "\\cf6\\b " +
           std::to_string(notFound) + " files not found.\\b0\\par" + kCrLf + kThreePars + "}";
}

inline std::string Deleted(const std::string& display) { return "\\cf3 Delete Successful - \\cf1 " + display; }

}  // namespace zelvane::e2e
