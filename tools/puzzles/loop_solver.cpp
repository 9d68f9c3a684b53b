// LoopSolver's face: the calls of loop_solver.h on the parts inside
// (solver_impl.h).
#include "loop_solver.h"

#include "solver_impl.h"

namespace quorrin {

LoopSolver::LoopSolver(const LoopPuzzle& puzzle) : impl_(new Impl) {
    impl_->g.build(puzzle.width, puzzle.height);
    impl_->clues = puzzle.clues;
    impl_->clues.resize(static_cast<size_t>(impl_->g.cells), -1);
    impl_->inQueue.assign(static_cast<size_t>(impl_->g.cells + impl_->g.dots), 0);
}

LoopSolver::~LoopSolver() = default;

void LoopSolver::setClues(const std::vector<std::int8_t>& clues) {
    impl_->clues = clues;
    impl_->clues.resize(static_cast<size_t>(impl_->g.cells), -1);
}

void LoopSolver::setKnownSolution(const LoopSolution& loop) {
    impl_->known = loop;
}

DeduceOutcome LoopSolver::deduce(int level) {
    return impl_->deduce(level);
}

const std::vector<std::uint8_t>& LoopSolver::edgeStates() const {
    return impl_->work.edge;
}

int LoopSolver::countSolutions(int limit, LoopSolution* first) {
    return impl_->countSolutions(limit, first);
}

long long LoopSolver::searchNodes() const {
    return impl_->nodes;
}

void LoopSolver::setNodeLimit(long long nodes) {
    impl_->nodeLimit = nodes;
}

bool LoopSolver::searchStopped() const {
    return impl_->stopped;
}

LoopAnalysis LoopSolver::analyse() {
    LoopAnalysis a;
    a.solutions = countSolutions(2, &a.first);
    if (a.solutions == 1) {
        a.grade = kGradeGuess;
        for (int level = kGradeEasy; level <= kGradeHard; ++level) {
            if (deduce(level) == DeduceOutcome::Solved) {
                a.grade = level;
                break;
            }
        }
    }
    return a;
}

LoopRating LoopSolver::rate() {
    return impl_->rate();
}

LoopAnalysis analysePuzzle(const LoopPuzzle& puzzle) {
    LoopSolver solver(puzzle);
    return solver.analyse();
}

}  // namespace quorrin
