#include "ui/ApplicationEntry.h"

int main(int argc, char** argv) {
    return ferrow::FerrowMain(argc, argv);
}
