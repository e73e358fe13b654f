// The restore subsystem's library; its parts live in the files beside this one.
namespace restore {}
