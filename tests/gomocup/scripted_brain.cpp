// A tiny brain for the manager's tests. It keeps its own board and plays the
// first empty point in reading order (row by row from 0,0), or misbehaves in
// one chosen way:
//   scripted_brain MODE [--log FILE] [--delay MS]
// MODE: good, lf (replies end in LF only), cr (CR only), occupied (plays the
// opponent's last stone), late (waits --delay ms before each move), crash
// (dies on its first move request), message (MESSAGE and DEBUG lines that
// look like moves, then a real move from the far corner), error (ERROR
// instead of a move), garbage, offboard, nostart (never answers START),
// refuse (ERROR to START), hang (answers START, then never again), short
// (ends right after its first move), twice (each move twice, in one write),
// noisy (a MESSAGE of control bytes, escape sequences and invalid UTF-8,
// then such bytes as its move).
// With --log every line received goes to FILE, after a first line "CWD dir";
// a line that did not end in CR LF makes the brain answer ERROR.

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string mode;
std::string eol = "\r\n";
int size = 20;
std::vector<int> cells;  // 0 empty, 1 mine, 2 the opponent's
int lastX = -1, lastY = -1;
int delayMs = 0;

void Reply(const std::string& text) {
  std::cout << text << eol;
  if (mode == "twice" && text != "OK") std::cout << text << eol;
  std::cout << std::flush;
}

const std::string kNoise = std::string("\x1b[2J\x1b]0;owned\x07 nul ") + '\0' +
                           " soh \x01 bad \xff\xfe c1 \xc2\x9b del \x7f";

void Put(int x, int y, int who) {
  if (x >= 0 && y >= 0 && x < size && y < size) cells[static_cast<size_t>(y * size + x)] = who;
  if (who == 2) {
    lastX = x;
    lastY = y;
  }
}

void Move() {
  if (mode == "crash") std::abort();
  if (mode == "hang") {
    for (;;) std::this_thread::sleep_for(std::chrono::seconds(10));
  }
  if (mode == "late") std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
  if (mode == "error") return Reply("ERROR I give up");
  if (mode == "noisy") Reply("MESSAGE " + kNoise);
  if (mode == "noisy") return Reply("\x1b[31m" + kNoise + "\x01");
  if (mode == "garbage") return Reply("hello there");
  if (mode == "offboard") return Reply(std::to_string(size) + ",3");
  if (mode == "occupied" && lastX >= 0)
    return Reply(std::to_string(lastX) + "," + std::to_string(lastY));
  const bool fromEnd = mode == "message";
  if (fromEnd) {
    Reply("MESSAGE 0,0 is tempting");
    Reply("DEBUG 1,1");
  }
  for (int i = 0; i < size * size; ++i) {
    const int at = fromEnd ? size * size - 1 - i : i;
    if (cells[static_cast<size_t>(at)] == 0) {
      cells[static_cast<size_t>(at)] = 1;
      Reply(std::to_string(at % size) + "," + std::to_string(at / size));
      if (mode == "short") std::exit(0);
      return;
    }
  }
  Reply("ERROR board full");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  mode = argv[1];
  std::string logPath;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string key = argv[i];
    if (key == "--log") logPath = argv[i + 1];
    if (key == "--delay") delayMs = std::atoi(argv[i + 1]);
  }
  if (mode == "lf") eol = "\n";
  if (mode == "cr") eol = "\r";
  std::ofstream log;
  if (!logPath.empty()) {
    log.open(logPath, std::ios::app);
    char dir[4096];
    log << "CWD " << (getcwd(dir, sizeof dir) != nullptr ? dir : "?") << "\n" << std::flush;
  }
  cells.assign(static_cast<size_t>(size * size), 0);
  bool inBoard = false;
  std::string line;
  while (std::getline(std::cin, line)) {
    const bool crlf = !line.empty() && line.back() == '\r';
    if (crlf) line.pop_back();
    if (log.is_open()) log << line << "\n" << std::flush;
    if (!crlf) {
      Reply("ERROR line without CR LF: " + line);
      continue;
    }
    if (line.rfind("START", 0) == 0) {
      if (mode == "nostart") continue;
      if (mode == "refuse") {
        Reply("ERROR no");
        continue;
      }
      size = std::atoi(line.c_str() + 6);
      cells.assign(static_cast<size_t>(size * size), 0);
      lastX = lastY = -1;
      Reply("OK");
    } else if (line == "BEGIN") {
      Put(size / 2, size / 2, 1);
      if (mode == "crash" || mode == "hang") Move();
      Reply(std::to_string(size / 2) + "," + std::to_string(size / 2));
    } else if (line.rfind("TURN ", 0) == 0) {
      int x = -1, y = -1;
      std::sscanf(line.c_str() + 5, "%d,%d", &x, &y);
      Put(x, y, 2);
      Move();
    } else if (line == "BOARD") {
      inBoard = true;
    } else if (line == "DONE") {
      inBoard = false;
      Move();
    } else if (inBoard) {
      int x = -1, y = -1, who = 0;
      std::sscanf(line.c_str(), "%d,%d,%d", &x, &y, &who);
      Put(x, y, who);
    } else if (line == "END") {
      return 0;
    }
  }
  return 0;
}
