#pragma once

// The program's numbers for the page-exception window's controls that other windows reach.
namespace vellumor::app {

inline constexpr int kUniteOffsetReliure = 40;    // the unit beside the binding offset
inline constexpr int kUniteOffsetSuperieur = 41;  // the unit beside the top offset

}  // namespace vellumor::app
