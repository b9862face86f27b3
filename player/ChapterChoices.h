#pragma once
// A medium's chapters as the Player menu lists them: by title and start, the one playing
// checked; apart from any window so that the labels can be checked on their own.
#include <QString>

#include <cstdint>
#include <vector>

// "Opening\t0:20", or "Chapter 3\t1:02:03" for the third chapter without a title; start in
// 100-nanosecond units. An ampersand in a title stays one.
QString ChapterLabel(const QString& title, int index, int64_t start);
// The chapter playing at position: the last of starts (in order) at or before it; -1 before
// the first or without chapters.
int CurrentChapter(const std::vector<int64_t>& starts, int64_t position);
